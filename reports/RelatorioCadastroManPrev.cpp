#include "reports/RelatorioCadastroManPrev.h"

#include <algorithm>
#include <cstdio>

#include "access/QVDadosAcessoRelatorio.h"
#include "diagnostics/QVCheck.h"
#include "records/QVCamposRegistro.h"
#include "reports/FormatosRelatorio.h"

namespace zenta {

namespace {

using zenta::DataRelatorio;
using zenta::DuracaoRelatorio;
using zenta::NumeroRelatorio;
using zenta::QuantidadeAutomatica;
using zenta::QuantidadeFixa;
using zenta::TextoRelatorio;

constexpr LONG kTexto = QV_CAMPO_RELATORIO_TEXTO;
constexpr LONG kData = QV_CAMPO_RELATORIO_DATA;

// The situation of the equipment identification as the report writes it.
const char* TextoSituacao(ULONG lSituacao) {
    switch (lSituacao) {
        case 1: return "Ativo";
        case 2: return "Inativo";
        case 3: return "Cancelado";
        case 4: return "Concluído";
        default: return "";
    }
}

// The unit of a time frequency of `quantidade` (1 days, 2 weeks, 3 months,
// 4 years); "" for a unit the plan does not know.
std::string UnidadeTempo(ULONG lTipo, ULONG quantidade) {
    const bool um = quantidade == 1;
    switch (lTipo) {
        case 1: return um ? "dia" : "dias";
        case 2: return um ? "semana" : "semanas";
        case 3: return um ? "mês" : "meses";
        case 4: return um ? "ano" : "anos";
        default: return {};
    }
}

std::string ComUnidade(std::string valor, const std::string& unidade) {
    if (!unidade.empty()) valor += " " + unidade;
    return valor;
}

// The plans a search handed out, freed on every path.
struct PlanosLidos {
    _REG_LISTA_PTRS_CADASTRO_PS ponteiros{};
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS planos{};
    ~PlanosLidos() {
        CoTaskMemFree(ponteiros.pPonteiros);
        if (planos.pRegistros != nullptr)
            for (ULONG i = 0; i < planos.lQtdRegistros; ++i) zenta::LiberaListasPlano(planos.pRegistros[i]);
        CoTaskMemFree(planos.pRegistros);
    }
};

}  // namespace

// ---- The line ----------------------------------------------------------------------

CLinhaRelatorioCadastroManPrev::CLinhaRelatorioCadastroManPrev() {
    DeclaraCampo({101, 50, kTexto, "Plano"});
    DeclaraCampo({102, 10, kTexto, "Filial"});
    DeclaraCampo({103, 50, kTexto, "Equipamento"});
    DeclaraCampo({120, 50, kTexto, "Descrição do equipamento"});
    DeclaraCampo({104, 50, kTexto, "Produto"});
    DeclaraCampo({121, 50, kTexto, "Código do produto"});
    DeclaraCampo({119, 50, kTexto, "Situação"});
    DeclaraCampo({105, 50, kTexto, "Grade 1"});
    DeclaraCampo({106, 50, kTexto, "Grade 2"});
    DeclaraCampo({107, 50, kTexto, "Grade 3"});
    DeclaraCampo({108, 50, kTexto, "Nº de série"});
    DeclaraCampo({109, 50, kTexto, "Nº patrimonial"});
    DeclaraCampo({110, 50, kTexto, "Motor"});
    DeclaraCampo({111, 20, kTexto, "Reservado"});
    DeclaraCampo({112, 10, kTexto, "Ano de fabricação"});
    DeclaraCampo({113, 50, kTexto, "Fabricante"});
    DeclaraCampo({114, 50, kTexto, "Campo dinâmico 1"});
    DeclaraCampo({115, 50, kTexto, "Campo dinâmico 2"});
    DeclaraCampo({116, 50, kTexto, "Campo dinâmico 3"});
    DeclaraCampo({117, 50, kTexto, "Campo dinâmico 4"});
    DeclaraCampo({118, 50, kTexto, "Campo dinâmico 5"});
    DeclaraCampo({201, 120, kTexto, "Manutenção"});
    DeclaraCampo({301, 50, kTexto, "Frequência (tempo)"});
    DeclaraCampo({302, 50, kTexto, "Limite (tempo)"});
    DeclaraCampo({303, 50, kTexto, "Frequência (medidor)"});
    DeclaraCampo({304, 50, kTexto, "Limite (medidor)"});
    DeclaraCampo({305, 50, kTexto, "Data inicial"});
    DeclaraCampo({306, 50, kTexto, "Medição inicial"});
    DeclaraCampo({307, 50, kTexto, "Duração (h:min)"});
    DeclaraCampo({308, 50, kTexto, "Parada"});
    DeclaraCampo({309, 50, kTexto, "Observação"});
    DeclaraCampo({501, 50, kTexto, "Cód. serviço"});
    DeclaraCampo({502, 50, kTexto, "Serviço"});
    DeclaraCampo({503, 50, kTexto, "Qtde. prevista"});
    DeclaraCampo({504, 50, kTexto, "Técnico"});
    DeclaraCampo({401, 50, kTexto, "Cód. produto"});
    DeclaraCampo({402, 50, kTexto, "Produto"});
    DeclaraCampo({403, 50, kTexto, "Grade 1"});
    DeclaraCampo({404, 50, kTexto, "Grade 2"});
    DeclaraCampo({405, 50, kTexto, "Grade 3"});
    DeclaraCampo({406, 50, kTexto, "Qtde. prevista"});
    DeclaraCampo({407, 50, kTexto, "Técnico"});
    DeclaraCampo({601, 10, kTexto, "Cliente"});
    DeclaraCampo({602, 50, kTexto, "Razão social"});
    DeclaraCampo({603, 40, kTexto, "Endereço"});
    DeclaraCampo({604, 10, kTexto, "Número"});
    DeclaraCampo({605, 60, kTexto, "Complemento"});
    DeclaraCampo({606, 20, kTexto, "Bairro"});
    DeclaraCampo({607, 10, kTexto, "CEP"});
    DeclaraCampo({608, 30, kTexto, "Contato"});
    DeclaraCampo({609, 50, kTexto, "Local físico"});
    DeclaraCampo({610, 10, kData, "Início do vínculo"});
}

int CLinhaRelatorioCadastroManPrev::GrupoDoCampo(LONG lCodigo) const {
    // A maintenance and its frequency share one table.
    const int grupo = static_cast<int>(lCodigo / 100);
    return grupo == 3 ? 2 : grupo;
}

std::string CLinhaRelatorioCadastroManPrev::TituloGrupo(int iGrupo) const {
    switch (iGrupo) {
        case 2: return "Manutenções";
        case 4: return "Produtos";
        case 5: return "Serviços";
        case 6: return "Clientes";
        default: return {};
    }
}

// ---- The report --------------------------------------------------------------------

const LONG CRelatorioCadastroManPrev::kCampos[] = {
    101, 102, 103, 120, 104, 121, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119,
    201, 301, 302, 303, 304, 305, 306, 307, 308, 309, 401, 402, 403, 404, 405, 406, 407, 501, 502, 503, 504,
    601, 602, 603, 604, 605, 606, 607, 608, 609, 610, 611};
const std::size_t CRelatorioCadastroManPrev::kQtdCampos = sizeof kCampos / sizeof kCampos[0];

CRelatorioCadastroManPrev::CRelatorioCadastroManPrev() : CRelatorioManPrev("Cadastro de Manutenção Preventiva") {}

HRESULT CRelatorioCadastroManPrev::InicializaRelatorio(std::string_view empresa, std::string_view modulo,
                                                       std::string_view componente, std::string_view arquivoTemp,
                                                       std::string_view relatorio, BOOL bTemLinhaSubordinada) {
    QV_CHECK(CRelatorioManPrev::InicializaRelatorio(empresa, modulo, componente, arquivoTemp, relatorio,
                                                    bTemLinhaSubordinada));
    // The installation's own names of the dynamic fields.
    const _REG_CADASTRO_PROPRIEDADES_PS p = m_pServico->GetPropriedades();
    const char (*nomes[])[32] = {&p.szNomeCampoDinamico1, &p.szNomeCampoDinamico2, &p.szNomeCampoDinamico3,
                                 &p.szNomeCampoDinamico4, &p.szNomeCampoDinamico5};
    for (LONG i = 0; i < 5; ++i) m_Relatorio.AlteraRotulo(114 + i, TextoRelatorio(*nomes[i]));
    return S_OK;
}

HRESULT CRelatorioCadastroManPrev::EmiteRelatorio(const _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regRelatorio) {
    m_Filtro = regRelatorio.filtro;
    return Emite(regRelatorio.bsComponente, regRelatorio.bsArquivoTemp, regRelatorio.bsRelatorio, false);
}

HRESULT CRelatorioCadastroManPrev::CarregaDados() {
    PlanosLidos lidos;
    const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& dadosFiltro = m_Filtro;
    _REG_LISTA_PTRS_CADASTRO_PS& listaPonteiros = lidos.ponteiros;
    _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS& listaCadastro = lidos.planos;
    if (const HRESULT hr = m_pServico->BuscaPonteiros(dadosFiltro, &listaPonteiros); FAILED(hr)) {
        QV_LOG_HR(hr, "GetAcessoGerenciador()->BuscaPonteirosManutencaoPreventiva(dadosFiltro, &listaPonteiros)");
        return hr;
    }
    if (listaPonteiros.lQtdPtrs == 0) return QV_S_RELATORIO_SEM_REGISTROS;
    if (const HRESULT hr = m_pServico->BuscaRegistros(listaPonteiros, &listaCadastro); FAILED(hr)) {
        QV_LOG_HR(hr, "GetAcessoGerenciador()->BuscaRegistrosManutencaoPreventiva(listaPonteiros, &listaCadastro)");
        return hr;
    }
    if (listaCadastro.lQtdRegistros == 0 || listaCadastro.pRegistros == nullptr) return QV_S_RELATORIO_SEM_REGISTROS;

    for (ULONG i = 0; i < listaCadastro.lQtdRegistros; ++i) {
        const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano = listaCadastro.pRegistros[i];
        m_Relatorio.NovaLinhaMestre();
        QV_CHECK(CarregaDadosPrincipal(plano));
        std::size_t linhasManutencao = 0;
        QV_CHECK(CarregaDadosManutencao(plano, linhasManutencao));
        QV_CHECK(CarregaDadosCliente(plano));
        // Every row of the plan carries a key of each kind.
        CompletaChaves(std::max<std::size_t>(m_Relatorio.QtdeLinhasRegistro(), 1),
                       {QV_CHAVE_RELATORIO_PRODUTO, QV_CHAVE_RELATORIO_SERVICO, QV_CHAVE_RELATORIO_CLIENTE});
    }
    return S_OK;
}

HRESULT CRelatorioCadastroManPrev::CarregaDadosPrincipal(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& regIDEquipamento = plano.idEquipamentoPS;
    CLinhaRelatorioCadastroManPrev& linha = m_Relatorio.LinhaDoRegistro(0);
    // The plan's code is its position: the identification's code text is
    // not kept with the plan.
    linha.SetValor(101, NumeroRelatorio(plano.lPonteiroRegistro));
    char filial[16];
    std::snprintf(filial, sizeof filial, "%d", static_cast<int>(regIDEquipamento.lFilial));
    linha.SetValor(102, filial);

    if (m_Relatorio.TemCampoSelecionado(103) || m_Relatorio.TemCampoSelecionado(120)) {
        CQVDadosGE_CadEquipamento regEquipamento;
        QV_CHECK(LeEquipamento(regIDEquipamento.lEquipamento, regEquipamento));
        linha.SetValor(103, regEquipamento.GetTexto1());
        linha.SetValor(120, regEquipamento.GetTexto2());
    }
    if (regIDEquipamento.lProduto != 0) {
        linha.SetValor(121, NumeroRelatorio(regIDEquipamento.lProduto));
        CQVDadosDF_ProdutoEx regProduto;
        QV_CHECK(LeProduto(regIDEquipamento.lProduto, regIDEquipamento.lGrade1, regIDEquipamento.lGrade2,
                           regIDEquipamento.lGrade3, regProduto));
        linha.SetValor(104, regProduto.GetNome());
        linha.SetValor(105, regProduto.GetDescricaoGrade(0));
        linha.SetValor(106, regProduto.GetDescricaoGrade(1));
        linha.SetValor(107, regProduto.GetDescricaoGrade(2));
    }
    linha.SetValor(119, TextoSituacao(regIDEquipamento.lSituacao));
    linha.SetValor(108, TextoRelatorio(regIDEquipamento.szNrSerie));
    linha.SetValor(109, TextoRelatorio(regIDEquipamento.szNrPatrimonial));
    linha.SetValor(110, TextoRelatorio(regIDEquipamento.szMotor));
    linha.SetValor(112, TextoRelatorio(regIDEquipamento.szAnoFabricacao));
    linha.SetValor(113, TextoRelatorio(regIDEquipamento.szFabricante));
    linha.SetValor(114, TextoRelatorio(regIDEquipamento.szCampoDinamico1));
    linha.SetValor(115, TextoRelatorio(regIDEquipamento.szCampoDinamico2));
    linha.SetValor(116, TextoRelatorio(regIDEquipamento.szCampoDinamico3));
    linha.SetValor(117, TextoRelatorio(regIDEquipamento.szCampoDinamico4));
    linha.SetValor(118, TextoRelatorio(regIDEquipamento.szCampoDinamico5));
    return S_OK;
}

HRESULT CRelatorioCadastroManPrev::CarregaDadosManutencao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano,
                                                          std::size_t& linhas) {
    linhas = 0;
    const _REG_LISTA_CADASTRO_MANUTENCOES_PS& lista = plano.listaManutencoes;
    if (lista.pManutencoes == nullptr) return S_OK;
    const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS* listaManutencoes = lista.pManutencoes;
    // The symbol of the meter's unit, beside every meter figure of the plan.
    std::string unidadeMedidor;
    const ULONG lUnidade = plano.idEquipamentoPS.regMedidorAtual.lPonteiroUnMedida;
    if (lUnidade != 0 && lUnidade <= 0xFFFFu) {
        CQVDadosDF_UnidadeMedida dadosUnidade;
        QV_CHECK(zenta::CadastradoOuVazio(
            m_acessos.pEmpresarial->LeUnidadeMedida(static_cast<USHORT>(lUnidade), &dadosUnidade)));
        unidadeMedidor = dadosUnidade.sSigla;
    }
    for (ULONG i = 0; i < lista.lQtdManutencoes; ++i) {
        const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = listaManutencoes[i];
        const ULONG qtdProdutos = m.listaProdutos.pProdutos != nullptr ? m.listaProdutos.lQtdProdutos : 0;
        const ULONG qtdServicos = m.listaServicos.pServicos != nullptr ? m.listaServicos.lQtdServicos : 0;
        CLinhaRelatorioCadastroManPrev& linha = m_Relatorio.LinhaDoRegistro(linhas);

        // Field 201: the registration service's name, else the maintenance's own.
        std::string nome;
        if (m.lServicoCadastro != 0) {
            CQVDadosDF_Servico dadosServ;
            QV_CHECK(LeServico(m.lServicoCadastro, dadosServ));
            nome = dadosServ.GetNome();
        }
        if (nome.empty()) nome = TextoRelatorio(m.szNomeManutencao);
        linha.SetValor(201, nome);

        // The frequency, in the order 301, 302, 303, 304, 305, 307, 306, 308, 309.
        const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = m.frequenciaPS;
        // Each figure with its unit: "3 meses" and "30 dias" must not look alike.
        linha.SetValor(301, ComUnidade(std::to_string(static_cast<long long>(f.lFrequenciaTempo)),
                                       UnidadeTempo(f.lTipoFrequenciaTempo, f.lFrequenciaTempo)));
        linha.SetValor(302, ComUnidade(std::to_string(static_cast<long long>(f.lFrequenciaLimiteTempo)),
                                       UnidadeTempo(1, f.lFrequenciaLimiteTempo)));
        linha.SetValor(303, ComUnidade(QuantidadeFixa(CQVCurrency(true, false, f.vFrequenciaMedicao).GetCY(), 2),
                                       unidadeMedidor));
        linha.SetValor(304,
                       ComUnidade(QuantidadeFixa(CQVCurrency(true, false, f.vFrequenciaLimiteMedicao).GetCY(), 2),
                                  unidadeMedidor));
        linha.SetValor(305, DataRelatorio(f.dataInicial));
        linha.SetValor(307, DuracaoRelatorio(f.horaDuracao));
        linha.SetValor(306, ComUnidade(QuantidadeFixa(CQVCurrency(true, false, f.vMedicaoInicial).GetCY(), 2),
                                       unidadeMedidor));
        linha.SetValor(308, TextoRelatorio(f.szParadaManutencao));
        linha.SetValor(309, TextoRelatorio(f.szObservacao.pTexto, f.szObservacao.ulQtdBytes));

        QV_CHECK(CarregaDadosProdutos(m, linhas));
        QV_CHECK(CarregaDadosServicos(m, linhas));
        linhas += std::max<std::size_t>({1, qtdProdutos, qtdServicos});
    }
    return S_OK;
}

HRESULT CRelatorioCadastroManPrev::CarregaDadosProdutos(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& manutencao,
                                                        std::size_t linha) {
    const _REG_LISTA_CADASTRO_PRODUTO_PS& lista = manutencao.listaProdutos;
    if (lista.pProdutos == nullptr) return S_OK;
    for (ULONG p = 0; p < lista.lQtdProdutos; ++p) {
        const _REG_CADASTRO_MANUTENCAO_PRODUTO_PS& regProduto = lista.pProdutos[p];
        CLinhaRelatorioCadastroManPrev& l = m_Relatorio.LinhaDoRegistro(linha + p);
        CQVDadosDF_ProdutoEx dadosProduto;
        QV_CHECK(LeProduto(regProduto.lProduto, regProduto.lGrade1, regProduto.lGrade2, regProduto.lGrade3,
                           dadosProduto));
        l.SetValor(401, NumeroRelatorio(regProduto.lProduto));
        l.SetValor(402, dadosProduto.GetNome());
        l.SetValor(403, dadosProduto.GetDescricaoGrade(0));
        l.SetValor(404, dadosProduto.GetDescricaoGrade(1));
        l.SetValor(405, dadosProduto.GetDescricaoGrade(2));
        l.SetValor(406, QuantidadeAutomatica(regProduto.vQuantidadePrevista));
        std::string tecnico;
        QV_CHECK(NomeUsuario(regProduto.lTecnico, tecnico));
        l.SetValor(407, tecnico);
        l.AdicionaChavePesquisa(QV_CHAVE_RELATORIO_PRODUTO, regProduto.lProduto);
    }
    return S_OK;
}

HRESULT CRelatorioCadastroManPrev::CarregaDadosServicos(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& manutencao,
                                                        std::size_t linha) {
    const _REG_LISTA_CADASTRO_SERVICO_PS& lista = manutencao.listaServicos;
    if (lista.pServicos == nullptr) return S_OK;
    for (ULONG s = 0; s < lista.lQtdServicos; ++s) {
        const _REG_CADASTRO_MANUTENCAO_SERVICO_PS& regServico = lista.pServicos[s];
        CLinhaRelatorioCadastroManPrev& l = m_Relatorio.LinhaDoRegistro(linha + s);
        CQVDadosDF_Servico regDadosServico;
        QV_CHECK(LeServico(regServico.lServico, regDadosServico));
        l.SetValor(501, NumeroRelatorio(regServico.lServico));
        l.SetValor(502, regDadosServico.GetNome());
        l.SetValor(503, QuantidadeAutomatica(regServico.vQuantidadePrevista));
        std::string tecnico;
        QV_CHECK(NomeUsuario(regServico.lTecnico, tecnico));
        l.SetValor(504, tecnico);
        l.AdicionaChavePesquisa(QV_CHAVE_RELATORIO_SERVICO, regServico.lServico);
    }
    return S_OK;
}

HRESULT CRelatorioCadastroManPrev::CarregaDadosCliente(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    const _REG_LISTA_CADASTRO_CLIENTES_PS& lista = plano.listaClientes;
    if (lista.pClientes == nullptr) return S_OK;
    for (ULONG c = 0; c < lista.lQtdClientes; ++c) {
        const _REG_CADASTRO_MANUTENCAO_CLIENTE_PS& regCliente = lista.pClientes[c];
        CLinhaRelatorioCadastroManPrev& l = m_Relatorio.LinhaDoRegistro(c);
        CQVDadosDF_ClienteComercial dadosCFRT;
        if (m_Relatorio.TemCampoSelecionado(601) || m_Relatorio.TemCampoSelecionado(602))
            QV_CHECK(LeCliente(regCliente.lCliente, dadosCFRT));
        l.SetValor(601, dadosCFRT.GetTexto1());
        l.SetValor(602, dadosCFRT.GetTexto2());
        l.SetValor(603, TextoRelatorio(regCliente.szEndereco));
        l.SetValor(604, TextoRelatorio(regCliente.szNumero));
        l.SetValor(605, TextoRelatorio(regCliente.szComplemento));
        l.SetValor(606, TextoRelatorio(regCliente.szBairro));
        l.SetValor(607, TextoRelatorio(regCliente.szCEP));
        l.SetValor(608, TextoRelatorio(regCliente.szContato));
        l.SetValor(609, TextoRelatorio(regCliente.szLocalFisico));
        l.SetValor(610, DataRelatorio(regCliente.dataInicial));
        l.SetValor(611, DataRelatorio(regCliente.dataFinal));
        l.AdicionaChavePesquisa(QV_CHAVE_RELATORIO_CLIENTE, regCliente.lCliente);
    }
    return S_OK;
}

}  // namespace zenta
