#include "reports/RelatorioMovimentoManPrev.h"

#include <algorithm>
#include <cstdio>

#include "access/QVDadosAcessoRelatorio.h"
#include "diagnostics/QVCheck.h"
#include "records/QVCamposRegistro.h"
#include "reports/FormatosRelatorio.h"

namespace zenta {

namespace {

using zenta::DataRelatorio;
using zenta::HoraRelatorio;
using zenta::NumeroRelatorio;
using zenta::QuantidadeFixa;
using zenta::TextoRelatorio;

constexpr LONG kTexto = QV_CAMPO_RELATORIO_TEXTO;

const char* TextoSituacaoOrdem(ULONG lSituacao) {
    switch (lSituacao) {
        case 0: return "Aberta";
        case 1: return "Concluída";
        case 2: return "Cancelada";
        default: return "";
    }
}

// The orders a search handed out, freed on every path.
struct OrdensLidas {
    _REG_LISTA_PONTEIROS_DATA_PS ponteiros{};
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS ordens{};
    ~OrdensLidas() {
        CoTaskMemFree(ponteiros.pPonteiros);
        if (ordens.pRegistros != nullptr)
            for (ULONG i = 0; i < ordens.lQtdRegistros; ++i) zenta::LiberaListasMovimentacao(ordens.pRegistros[i]);
        CoTaskMemFree(ordens.pRegistros);
    }
};

}  // namespace

// ---- The line ----------------------------------------------------------------------

CLinhaRelatorioMovimentoManPrev::CLinhaRelatorioMovimentoManPrev() {
    DeclaraCampo({101, 60, kTexto, "Equipamento"});
    DeclaraCampo({102, 60, kTexto, "Descrição do equipamento"});
    DeclaraCampo({103, 60, kTexto, "Código do produto"});
    DeclaraCampo({104, 60, kTexto, "Produto"});
    DeclaraCampo({105, 5, kTexto, "Grade 1"});
    DeclaraCampo({106, 5, kTexto, "Grade 2"});
    DeclaraCampo({107, 5, kTexto, "Grade 3"});
    DeclaraCampo({108, 60, kTexto, "Cliente"});
    DeclaraCampo({109, 50, kTexto, "Razão social"});
    DeclaraCampo({110, 4, kTexto, "Filial"});
    DeclaraCampo({111, 12, kTexto, "Data prevista"});
    DeclaraCampo({112, 12, kTexto, "Prorrogada para"});
    DeclaraCampo({113, 100, kTexto, "Motivo da prorrogação"});
    DeclaraCampo({114, 13, kTexto, "Frequência (medidor)"});
    DeclaraCampo({115, 18, kTexto, "Duração"});
    DeclaraCampo({116, 18, kTexto, "Horas efetivas"});
    DeclaraCampo({117, 13, kTexto, "Medição"});
    DeclaraCampo({118, 50, kTexto, "Parada"});
    DeclaraCampo({119, 18, kTexto, "Técnico"});
    DeclaraCampo({120, 12, kTexto, "Data de início"});
    DeclaraCampo({121, 18, kTexto, "Hora de início"});
    DeclaraCampo({122, 12, kTexto, "Data de término"});
    DeclaraCampo({123, 18, kTexto, "Hora de término"});
    DeclaraCampo({124, 1000, kTexto, "Ocorrência"});
    DeclaraCampo({125, 1000, kTexto, "Observação"});
    DeclaraCampo({126, 20, kTexto, "Ordem"});
    DeclaraCampo({127, 12, kTexto, "Situação"});
    DeclaraCampo({128, 120, kTexto, "Manutenção"});
    DeclaraCampo({201, 60, kTexto, "Cód. produto"});
    DeclaraCampo({202, 60, kTexto, "Produto"});
    DeclaraCampo({203, 5, kTexto, "Grade 1"});
    DeclaraCampo({204, 5, kTexto, "Grade 2"});
    DeclaraCampo({205, 5, kTexto, "Grade 3"});
    DeclaraCampo({206, 18, kTexto, "Qtde. prevista"});
    DeclaraCampo({207, 18, kTexto, "Qtde. utilizada"});
    DeclaraCampo({208, 18, kTexto, "Técnico"});
    DeclaraCampo({209, 50, kTexto, "Local de estoque"});
    DeclaraCampo({301, 60, kTexto, "Cód. serviço"});
    DeclaraCampo({302, 60, kTexto, "Serviço"});
    DeclaraCampo({303, 60, kTexto, "Qtde. prevista"});
    DeclaraCampo({304, 18, kTexto, "Qtde. utilizada"});
}

std::string CLinhaRelatorioMovimentoManPrev::TituloGrupo(int iGrupo) const {
    switch (iGrupo) {
        case 2: return "Produtos";
        case 3: return "Serviços";
        default: return {};
    }
}

// ---- The report --------------------------------------------------------------------

const LONG CRelatorioMovimentoManPrev::kCampos[] = {
    101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120,
    121, 122, 123, 124, 125, 126, 127, 128, 201, 202, 203, 204, 205, 206, 207, 208, 209, 301, 302, 303, 304, 305};
const std::size_t CRelatorioMovimentoManPrev::kQtdCampos = sizeof kCampos / sizeof kCampos[0];

CRelatorioMovimentoManPrev::CRelatorioMovimentoManPrev() : CRelatorioManPrev("Ordens de Manutenção Preventiva") {}

HRESULT CRelatorioMovimentoManPrev::EmiteRelatorio(
    const _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS& regRelatorio) {
    m_Filtro = regRelatorio.filtro;
    return Emite(regRelatorio.bsComponente, regRelatorio.bsArquivoTemp, regRelatorio.bsRelatorio, true);
}

HRESULT CRelatorioMovimentoManPrev::CarregaDados() {
    OrdensLidas lidas;
    _REG_LISTA_PONTEIROS_DATA_PS& regListaPonteiros = lidas.ponteiros;
    _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS& regListaRegistros = lidas.ordens;
    IQVConsultaManutencaoPreventiva* pManutencaoPreventiva = m_pServico;
    if (const HRESULT hr = pManutencaoPreventiva->BuscaPonteirosMovimentacao(m_Filtro, &regListaPonteiros); FAILED(hr)) {
        QV_LOG_HR(hr, "pManutencaoPreventiva->BuscaPonteirosMovimentacao(m_Filtro, &regListaPonteiros)");
        return hr;
    }
    if (regListaPonteiros.lQtdPonteiros == 0) return QV_S_RELATORIO_SEM_REGISTROS;
    if (const HRESULT hr = pManutencaoPreventiva->BuscaRegistrosMovimentacao(regListaPonteiros, &regListaRegistros);
        FAILED(hr)) {
        QV_LOG_HR(hr, "pManutencaoPreventiva->BuscaRegistrosMovimentacao(regListaPonteiros, &regListaRegistros)");
        return hr;
    }
    if (regListaRegistros.lQtdRegistros == 0 || regListaRegistros.pRegistros == nullptr)
        return QV_S_RELATORIO_SEM_REGISTROS;

    for (ULONG i = 0; i < regListaRegistros.lQtdRegistros; ++i) {
        m_pDadosRegistro = &regListaRegistros.pRegistros[i];
        m_Relatorio.NovaLinhaMestre();
        HRESULT hr = CarregaDadosPrincipal();
        if (SUCCEEDED(hr)) hr = CarregaDadosProdutos();
        if (SUCCEEDED(hr)) hr = CarregaDadosServicos();
        if (FAILED(hr)) {
            m_pDadosRegistro = nullptr;
            return hr;
        }
        // Keys: each row its product, service and the order's customer; rows
        // past the last product (service) get that kind's key with pointer 0.
        CompletaChaves(m_Relatorio.QtdeLinhasRegistro(), {QV_CHAVE_RELATORIO_PRODUTO, QV_CHAVE_RELATORIO_SERVICO});
        for (std::size_t l = 0; l < m_Relatorio.QtdeLinhasRegistro(); ++l)
            m_Relatorio.LinhaDoRegistro(l).AdicionaChavePesquisa(QV_CHAVE_RELATORIO_CLIENTE, m_pDadosRegistro->lCliente);
    }
    m_pDadosRegistro = nullptr;
    return S_OK;
}

HRESULT CRelatorioMovimentoManPrev::CarregaDadosPrincipal() {
    const _REG_MOVIMENTACAO_MANUT_PREV_PS& m_DadosRegistro = *m_pDadosRegistro;
    CLinhaRelatorioMovimentoManPrev& linha = m_Relatorio.LinhaDoRegistro(0);

    if (m_Relatorio.TemCampoSelecionado(101) || m_Relatorio.TemCampoSelecionado(102)) {
        CQVDadosGE_CadEquipamento regEquipamento;
        QV_CHECK(LeEquipamento(m_DadosRegistro.lEquipamento, regEquipamento));
        linha.SetValor(101, regEquipamento.GetTexto1());
        linha.SetValor(102, regEquipamento.GetTexto2());
    }
    if (m_DadosRegistro.lProduto != 0) {
        linha.SetValor(103, NumeroRelatorio(m_DadosRegistro.lProduto));
        CQVDadosDF_ProdutoEx regProduto;
        QV_CHECK(LeProduto(m_DadosRegistro.lProduto, m_DadosRegistro.lPonteiroGrade1, m_DadosRegistro.lPonteiroGrade2,
                           m_DadosRegistro.lPonteiroGrade3, regProduto));
        linha.SetValor(104, regProduto.GetNome());
        linha.SetValor(105, regProduto.GetDescricaoGrade(0));
        linha.SetValor(106, regProduto.GetDescricaoGrade(1));
        linha.SetValor(107, regProduto.GetDescricaoGrade(2));
    }
    if (m_Relatorio.TemCampoSelecionado(108) || m_Relatorio.TemCampoSelecionado(109)) {
        CQVDadosDF_ClienteComercial dadosCFRT;
        QV_CHECK(LeCliente(m_DadosRegistro.lCliente, dadosCFRT));
        linha.SetValor(108, dadosCFRT.GetTexto1());
        linha.SetValor(109, dadosCFRT.GetTexto2());
    }
    char filial[16];
    std::snprintf(filial, sizeof filial, "%d", static_cast<int>(m_DadosRegistro.lFilial));
    linha.SetValor(110, filial);
    linha.SetValor(111, DataRelatorio(m_DadosRegistro.dataPrevista));
    linha.SetValor(112, DataRelatorio(m_DadosRegistro.dataProrrogacao));
    linha.SetValor(113, TextoRelatorio(m_DadosRegistro.szMotivoProrrogacao));
    linha.SetValor(114, QuantidadeFixa(m_DadosRegistro.vFrequenciaMedicao, 2));
    linha.SetValor(115, QuantidadeFixa(m_DadosRegistro.horaDuracao, 2));
    linha.SetValor(116, QuantidadeFixa(m_DadosRegistro.horaEfetiva, 2));
    linha.SetValor(117, QuantidadeFixa(m_DadosRegistro.vQuantidadeMedicao, 2));
    linha.SetValor(118, TextoRelatorio(m_DadosRegistro.szParadaManutencao));
    if (m_Relatorio.TemCampoSelecionado(119)) {
        std::string tecnico;
        QV_CHECK(NomeUsuario(m_DadosRegistro.lTecnico, tecnico));
        linha.SetValor(119, tecnico);
    }
    linha.SetValor(120, DataRelatorio(m_DadosRegistro.dataInicio));
    if (m_DadosRegistro.dataInicio != 0 || m_DadosRegistro.horaInicio != 0)
        linha.SetValor(121, HoraRelatorio(m_DadosRegistro.horaInicio));
    linha.SetValor(122, DataRelatorio(m_DadosRegistro.dataFim));
    if (m_DadosRegistro.dataFim != 0 || m_DadosRegistro.horaFim != 0)
        linha.SetValor(123, HoraRelatorio(m_DadosRegistro.horaFim));
    // What tells orders apart heads each block: the key as clients show it
    // ("12/2026-000003"), the status and the maintenance's name.
    linha.SetValor(126, zenta::ChaveOrdemRelatorio(m_DadosRegistro.dmcChave));
    linha.SetValor(127, TextoSituacaoOrdem(m_DadosRegistro.lSituacao));
    linha.SetValor(128, TextoRelatorio(m_DadosRegistro.szNomeManutencao));
    linha.SetValor(124, zenta::Cp1252ParaUtf8(zenta::BstrParaCp1252(m_DadosRegistro.bsOcorrencia)));
    linha.SetValor(125, zenta::Cp1252ParaUtf8(zenta::BstrParaCp1252(m_DadosRegistro.bsObservacao)));
    return S_OK;
}

HRESULT CRelatorioMovimentoManPrev::CarregaDadosProdutos() {
    const _REG_LISTA_MOVIMENTACAO_PRODUTO_PS& lista = m_pDadosRegistro->listaProdutos;
    if (lista.pProdutos == nullptr) return S_OK;
    for (ULONG p = 0; p < lista.lQtdProdutos; ++p) {
        const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& pReg = lista.pProdutos[p];
        CLinhaRelatorioMovimentoManPrev& l = m_Relatorio.LinhaDoRegistro(p);
        CQVDadosDF_ProdutoEx regProduto;
        QV_CHECK(LeProduto(pReg.lProduto, pReg.lGrade1, pReg.lGrade2, pReg.lGrade3, regProduto));
        l.SetValor(201, NumeroRelatorio(pReg.lProduto));
        l.SetValor(202, regProduto.GetNome());
        l.SetValor(203, regProduto.GetDescricaoGrade(0));
        l.SetValor(204, regProduto.GetDescricaoGrade(1));
        l.SetValor(205, regProduto.GetDescricaoGrade(2));
        l.SetValor(206, QuantidadeFixa(pReg.vQuantidadePrevista, 2));
        l.SetValor(207, QuantidadeFixa(pReg.vQuantidadeUtilizada, 2));
        std::string tecnico;
        QV_CHECK(NomeUsuario(pReg.lTecnico, tecnico));
        l.SetValor(208, tecnico);
        // Field 209: the one location's name, "Vários." for two or more, empty for none.
        const ULONG qtdLocais = pReg.listaLocal.pLocaisEstoque != nullptr ? pReg.listaLocal.lQtdEstoque : 0;
        if (qtdLocais >= 2) {
            l.SetValor(209, "Vários.");
        } else if (qtdLocais == 1 && m_Relatorio.TemCampoSelecionado(209)) {
            const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& regLocal = pReg.listaLocal.pLocaisEstoque[0];
            CQVDadosES_Local local;
            const HRESULT hr = m_acessos.pEstoque->LeLocal(regLocal.lPonteiroLocal, &local, 0);
            if (FAILED(hr) && hr != zenta::kNaoCadastrado) {
                QV_LOG_HR(hr, "GetAcessoEstoque()->LeLocal(regLocal.GetPonteiroLocal(), &local)");
                return hr;
            }
            l.SetValor(209, local.GetNome());
        }
        l.AdicionaChavePesquisa(QV_CHAVE_RELATORIO_PRODUTO, pReg.lProduto);
    }
    return S_OK;
}

HRESULT CRelatorioMovimentoManPrev::CarregaDadosServicos() {
    const _REG_LISTA_MOVIMENTACAO_SERVICO_PS& lista = m_pDadosRegistro->listaServicos;
    if (lista.pServicos == nullptr) return S_OK;
    for (ULONG s = 0; s < lista.lQtdServicos; ++s) {
        const _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS& pReg = lista.pServicos[s];
        CLinhaRelatorioMovimentoManPrev& l = m_Relatorio.LinhaDoRegistro(s);
        CQVDadosDF_Servico regDadosServico;
        QV_CHECK(LeServico(pReg.lServico, regDadosServico));
        l.SetValor(301, NumeroRelatorio(pReg.lServico));
        l.SetValor(302, regDadosServico.GetNome());
        l.SetValor(303, QuantidadeFixa(pReg.vQuantidadePrevista, 2));
        l.SetValor(304, QuantidadeFixa(pReg.vQuantidadeUtilizada, 2));
        std::string tecnico;
        QV_CHECK(NomeUsuario(pReg.lTecnico, tecnico));
        l.SetValor(305, tecnico);
        l.AdicionaChavePesquisa(QV_CHAVE_RELATORIO_SERVICO, pReg.lServico);
    }
    return S_OK;
}

}  // namespace zenta
