// Maintenance orders: saving an order with its consequences (stock
// pre-withdrawal, service order, purchase requests, re-arming the plan's
// maintenance), reading it fully or lightly, and searching.
//
// Orders live in per-month files keyed by the month/year of the order's key;
// an order's products, their stock places, its services and its
// purchase-request keys are runs in the member files of the same month.
#include "logic/BaseManutencaoPreventiva.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/QVCheck.h"
#include "diagnostics/QVTextoFormatado.h"
#include "integration/IntegracaoCompras.h"
#include "integration/IntegracaoEstoque.h"
#include "records/QVCamposRegistro.h"
#include "platform/CodePage.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"

namespace zenta {

namespace {

using zenta::AlocaArray;
using zenta::ListaValida;
using zenta::RunDentro;
using zenta::CopiaTexto;
using zenta::TextoCampo;
using zenta::TextoTerminado;

constexpr USHORT kModuloMovimentacao = REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV;

// A save from a copy older than the stored order: another session changed
// it in between (the code the ERP gives a region another writer holds).
constexpr HRESULT kAlteracaoConcorrente = HRESULT_FROM_WIN32(33u);  // ERROR_LOCK_VIOLATION

// The stored order read for a save, freed on every path.
struct OrdemArmazenada {
    _REG_MOVIMENTACAO_MANUT_PREV_PS ordem{};
    OrdemArmazenada() = default;
    OrdemArmazenada(const OrdemArmazenada&) = delete;
    OrdemArmazenada& operator=(const OrdemArmazenada&) = delete;
    ~OrdemArmazenada() { zenta::LiberaListasMovimentacao(ordem); }
};

// Runs its undo when a save stops before the order is written.
struct DesfazSeFalhar {
    std::function<void()> desfazer;
    bool bAtivo = true;
    explicit DesfazSeFalhar(std::function<void()> f) : desfazer(std::move(f)) {}
    DesfazSeFalhar(const DesfazSeFalhar&) = delete;
    DesfazSeFalhar& operator=(const DesfazSeFalhar&) = delete;
    ~DesfazSeFalhar() {
        if (bAtivo) desfazer();
    }
};

HRESULT ValidaMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& m, std::string& erro) {
    if (!TextoTerminado(m.szMotivoProrrogacao) || !TextoTerminado(m.szMotivoCancelamento) ||
        !TextoTerminado(m.szNomeManutencao) || !TextoTerminado(m.szNrSerie) || !TextoTerminado(m.szParadaManutencao))
        return E_INVALIDARG;
    if (!ListaValida(m.listaProdutos.lQtdProdutos, m.listaProdutos.pProdutos) ||
        !ListaValida(m.listaServicos.lQtdServicos, m.listaServicos.pServicos) ||
        !ListaValida(m.listaRelacionamentos.lQtdRelacionamentoOS, m.listaRelacionamentos.pRelacionamentos) ||
        !ListaValida(m.listaIntegracoesCompras.lQtdDMC, m.listaIntegracoesCompras.pDMC))
        return E_INVALIDARG;
    for (ULONG i = 0; i < m.listaProdutos.lQtdProdutos; ++i) {
        const auto& locais = m.listaProdutos.pProdutos[i].listaLocal;
        if (!ListaValida(locais.lQtdEstoque, locais.pLocaisEstoque)) return E_INVALIDARG;
    }
    // The purchase flag is kept in one byte, as given: 1 asks for purchase,
    // any other value that fits is stored and read back as it came.
    for (ULONG i = 0; i < m.listaProdutos.lQtdProdutos; ++i) {
        const LONG flag = m.listaProdutos.pProdutos[i].bGerarSolicitacaoCompras;
        if (flag < 0 || flag > 0xFF) {
            erro = zenta::TextoFormatado("bGerarSolicitacaoCompras %ld do produto %lu (linha %lu) n\xE3o cabe no registro: use 0 ou 1",
                            static_cast<long>(flag), static_cast<unsigned long>(m.listaProdutos.pProdutos[i].lProduto),
                            static_cast<unsigned long>(i + 1));
            return E_INVALIDARG;
        }
    }
    for (ULONG i = 0; i < m.listaServicos.lQtdServicos; ++i) {
        const LONG flag = m.listaServicos.pServicos[i].bGerarSolicitacaoCompras;
        if (flag < 0 || flag > 0xFF) {
            erro = zenta::TextoFormatado("bGerarSolicitacaoCompras %ld do servi\xE7o %lu (linha %lu) n\xE3o cabe no registro: use 0 ou 1",
                            static_cast<long>(flag), static_cast<unsigned long>(m.listaServicos.pServicos[i].lServico),
                            static_cast<unsigned long>(i + 1));
            return E_INVALIDARG;
        }
    }
    return S_OK;
}

// The order's own fields from its stored record; lists, texts and links are
// read separately.
void MovimentacaoDoArmazenado(const REG_MOVIMENTACAO_MANUT_PREV_V1& r, _REG_MOVIMENTACAO_MANUT_PREV_PS& m) {
    m.dmcChave = r.dmcChave.Get64();
    m.lFilial = r.lFilial;
    m.lCliente = r.lCliente;
    m.lSituacao = r.lSituacao;
    m.lPonteiroCadastro = r.lPonteiroCadastro;
    m.lEquipamento = r.lEquipamento;
    m.lMarca = r.lMarca;
    m.lModelo = r.lModelo;
    m.lTipo = r.lTipo;
    m.lProduto = r.lProduto;
    m.lServicosMovimentacao = r.lServicosMovimentacao;
    m.lPonteiroGrade1 = r.lPonteiroGrade1;
    m.lPonteiroGrade2 = r.lPonteiroGrade2;
    m.lPonteiroGrade3 = r.lPonteiroGrade3;
    m.lTecnico = r.lTecnico;
    m.lOcorrencia = r.lOcorrencia;
    m.lObservacao = r.lObservacao;
    m.lPtrIntegracaoCompras = r.lPtrIntegracaoCompras;
    m.lVersaoRegistro = r.lVersaoRegistro;
    m.lProdutosMovimentacao = r.lProdutosMovimentacao;
    m.bGerarOS = r.bGerarOS;
    m.bOSIntegrada = r.bOSIntegrada;
    m.lUsuarioConclusao = r.lUsuarioConclusao;
    m.lCodigoManutencao = r.lCodigoManutencao;
    m.lRelacionamentoOS = r.lRelacionamentoOS;
    m.lQtdCasasDecimais = r.lQtdCasasDecimais;
    m.dataConclusao = r.dataConclusao;
    m.dataCancelamento = r.dataCancelamento;
    m.listaProdutos.lQtdProdutos = r.lQtdProdutos;
    m.listaServicos.lQtdServicos = r.lQtdServicos;
    m.listaRelacionamentos.lQtdRelacionamentoOS = r.lQtdRelacionamentoOS;
    m.listaIntegracoesCompras.lQtdDMC = r.lQtdDMC;
    m.dataPrevista = r.dataPrevista;
    m.dataProrrogacao = r.dataProrrogacao;
    m.dataInicio = r.dataInicio;
    m.dataFim = r.dataFim;
    m.horaInicio = r.horaInicio;
    m.horaFim = r.horaFim;
    m.horaEfetiva.int64 = r.horaEfetiva.int64;
    m.horaDuracao.int64 = r.horaDuracao.int64;
    m.vFrequenciaMedicao.int64 = r.vFrequenciaMedicao.int64;
    m.vQuantidadeMedicao.int64 = r.vQuantidadeMedicao.int64;
    CopiaTexto(m.szMotivoProrrogacao, r.szMotivoProrrogacao);
    CopiaTexto(m.szMotivoCancelamento, r.szMotivoCancelamento);
    CopiaTexto(m.szNomeManutencao, r.szNomeManutencao);
    CopiaTexto(m.szNrSerie, r.szNrSerie);
    CopiaTexto(m.szParadaManutencao, r.szParadaManutencao);
}

void ArmazenadoDaMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& m, REG_MOVIMENTACAO_MANUT_PREV_V1& r) {
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    r.dmcChave = REG_QVDMC(m.dmcChave);
    r.lFilial = m.lFilial;
    r.lCliente = m.lCliente;
    r.lSituacao = m.lSituacao;
    r.lPonteiroCadastro = m.lPonteiroCadastro;
    r.lEquipamento = m.lEquipamento;
    r.lMarca = m.lMarca;
    r.lModelo = m.lModelo;
    r.lProduto = m.lProduto;
    r.lTipo = m.lTipo;
    r.bGerarOS = m.bGerarOS;
    r.bOSIntegrada = m.bOSIntegrada;
    r.lPonteiroGrade1 = m.lPonteiroGrade1;
    r.lPonteiroGrade2 = m.lPonteiroGrade2;
    r.lPonteiroGrade3 = m.lPonteiroGrade3;
    r.lTecnico = m.lTecnico;
    r.lOcorrencia = m.lOcorrencia;
    r.lObservacao = m.lObservacao;
    r.lProdutosMovimentacao = m.lProdutosMovimentacao;
    r.lQtdProdutos = m.listaProdutos.lQtdProdutos;
    r.lServicosMovimentacao = m.lServicosMovimentacao;
    r.lQtdServicos = m.listaServicos.lQtdServicos;
    r.lQtdRelacionamentoOS = m.listaRelacionamentos.lQtdRelacionamentoOS;
    r.lRelacionamentoOS = m.lRelacionamentoOS;
    r.lQtdCasasDecimais = m.lQtdCasasDecimais;
    r.lUsuarioConclusao = m.lUsuarioConclusao;
    r.lCodigoManutencao = m.lCodigoManutencao;
    r.dataPrevista = m.dataPrevista;
    r.dataProrrogacao = m.dataProrrogacao;
    r.dataInicio = m.dataInicio;
    r.dataFim = m.dataFim;
    r.dataCancelamento = m.dataCancelamento;
    r.dataConclusao = m.dataConclusao;
    r.horaInicio = m.horaInicio;
    r.horaFim = m.horaFim;
    r.horaEfetiva.int64 = m.horaEfetiva.int64;
    r.horaDuracao.int64 = m.horaDuracao.int64;
    r.vFrequenciaMedicao.int64 = m.vFrequenciaMedicao.int64;
    r.vQuantidadeMedicao.int64 = m.vQuantidadeMedicao.int64;
    CopiaTexto(r.szMotivoProrrogacao, m.szMotivoProrrogacao);
    CopiaTexto(r.szMotivoCancelamento, m.szMotivoCancelamento);
    CopiaTexto(r.szNomeManutencao, m.szNomeManutencao);
    CopiaTexto(r.szNrSerie, m.szNrSerie);
    CopiaTexto(r.szParadaManutencao, m.szParadaManutencao);
    r.lPtrIntegracaoCompras = m.lPtrIntegracaoCompras;
    r.lQtdDMC = m.listaIntegracoesCompras.lQtdDMC;
    r.lVersaoRegistro = m.lVersaoRegistro;
}

REG_MOVIMENTACAO_LOCAL_PRODUTO_V1 LocalArmazenado(const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& l) {
    REG_MOVIMENTACAO_LOCAL_PRODUTO_V1 r;
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    zenta::CopiaLocalEstoque(r, l);
    return r;
}

}  // namespace

// ---- Re-arming the plan's maintenance ----------------------------------------------------

HRESULT CBaseManutencaoPreventiva::RearmaManutencaoDaMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regPs) {
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano;
    std::memset(&plano, 0, sizeof plano);
    HRESULT hr = LePlano(regPs.lPonteiroCadastro, plano);
    if (SUCCEEDED(hr)) {
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS* pManutencao = nullptr;
        for (ULONG i = 0; i < plano.listaManutencoes.lQtdManutencoes && pManutencao == nullptr; ++i)
            if (plano.listaManutencoes.pManutencoes[i].lCodigoManutencao == regPs.lCodigoManutencao)
                pManutencao = &plano.listaManutencoes.pManutencoes[i];
        // A plan that no longer has the maintenance is left as it is.
        if (pManutencao != nullptr) {
            _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = *pManutencao;
            const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = m.frequenciaPS;
            m.bMovimentacaoGerada = 0;
            m.bTemMedicaoInformada = 0;
            m.vQuantidadeFalta.int64 =
                f.vFrequenciaLimiteMedicao.int64 != 0 ? f.vFrequenciaLimiteMedicao.int64 : f.vFrequenciaMedicao.int64;
            m.lQuantidadeDiasFalta =
                zenta::DiasDoIntervalo(f.lFrequenciaTempo, f.lTipoFrequenciaTempo, f.lFrequenciaLimiteTempo);
            // Armed today: without a first day, days count from here.
            m.dataUltimaVerificacaoMedicao = REG_QVDMA::Hoje().GetData();
            LONG posicao = static_cast<LONG>(regPs.lPonteiroCadastro);
            hr = Grava(&posicao, plano);
            if (FAILED(hr)) QV_LOG_HR(hr, "Grava(&posicao, regCadastro)");
        }
    } else {
        QV_LOG_HR(hr, "Le(regPs.lPonteiroCadastro, &regCadastro)");
    }
    zenta::LiberaListasPlano(plano);
    return hr;
}

// ---- Saving an order ----------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::RecusaMovimentacao(HRESULT hr, const std::string& mensagem, unsigned linha) {
    CQVDadosDF_Erro erro;
    erro.hr = hr;
    erro.sMensagem = mensagem;
    erro.sEmpresa = GetEmpresa();
    SetErro(erro);
    QVGravaLogErroTexto(QVProfilerDoEscopo(), "CBaseManutencaoPreventiva::GravaMovimentacao", QV_ARQUIVO, linha, mensagem);
    return hr;
}

// A save refused for its input: the message names what is wrong.
#define QV_RECUSA(hr, mensagem) return RecusaMovimentacao((hr), (mensagem), __LINE__)

HRESULT CBaseManutencaoPreventiva::GravaMovimentacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& pRegMovimentacao,
                                                     ULONGLONG* pRegDMCGravado) {
    if (pRegDMCGravado == nullptr) QV_CHECK(E_POINTER);
    *pRegDMCGravado = 0;
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    std::string erro;
    if (const HRESULT hr = ValidaMovimentacao(pRegMovimentacao, erro); FAILED(hr)) {
        if (!erro.empty()) QV_RECUSA(hr, erro);
        QV_CHECK(hr);
    }
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    const EscopoAvisos avisos(*this);  // e-mail notices go out once the lock is let go
    std::lock_guard trava(db.m_travaGravacao);
    QV_CHECK(ValidaDominioMovimentacao(pRegMovimentacao));

    _REG_MOVIMENTACAO_MANUT_PREV_PS regPs = pRegMovimentacao;
    const REG_QVDMC chave(regPs.dmcChave);
    // A new order without a month goes to the current month; an existing
    // order must be found where its key says before anything changes.
    USHORT maGravacao = chave.GetMa();
    const bool bExiste = chave.GetPonteiro() != 0;
    if (!bExiste && maGravacao == 0) maGravacao = QVMAAtual();
    if (bExiste && maGravacao == 0) QV_CHECK(E_INVALIDARG);

    // The stored order's service-order links, purchase-request keys and
    // version are the server's: the caller's copy may be older or made up.
    // A new order has none.
    OrdemArmazenada armazenada;
    REG_QVDMC chaveArmazenada;
    if (bExiste) {
        chaveArmazenada.SetDMC(chave.GetPonteiro(), kModuloMovimentacao, maGravacao);
        QV_CHECK(LeMovimentacaoInterna(chaveArmazenada.Get64(), armazenada.ordem, true));
        const _REG_MOVIMENTACAO_MANUT_PREV_PS& a = armazenada.ordem;
        // A copy read before the last save would undo that save.
        if (regPs.lVersaoRegistro < a.lVersaoRegistro)
            QV_RECUSA(kAlteracaoConcorrente,
                      zenta::TextoFormatado("Ordem %lu alterada por outra grava\xE7\xE3o desde que foi lida (vers\xE3o %lu, "
                               "gravada %lu): leia-a de novo antes de gravar",
                               static_cast<unsigned long>(chave.GetPonteiro()),
                               static_cast<unsigned long>(regPs.lVersaoRegistro),
                               static_cast<unsigned long>(a.lVersaoRegistro)));
        regPs.lVersaoRegistro = a.lVersaoRegistro;
        regPs.listaRelacionamentos = a.listaRelacionamentos;
        regPs.lRelacionamentoOS = a.lRelacionamentoOS;
        regPs.listaIntegracoesCompras = a.listaIntegracoesCompras;
        regPs.lPtrIntegracaoCompras = a.lPtrIntegracaoCompras;
    } else {
        regPs.lVersaoRegistro = 0;
        regPs.listaRelacionamentos = {};
        regPs.lRelacionamentoOS = 0;
        regPs.listaIntegracoesCompras = {};
        regPs.lPtrIntegracaoCompras = 0;
    }
    const ULONGLONG uiChaveMes = QVMAToChave(maGravacao);
    // The position the order will have: its own, or the next of its month
    // for a new order. Known now (the company's write lock keeps others from
    // appending), so that its pre-withdrawal, the service order raised for
    // it and the link to it name the order and not position 0.
    const ULONGLONG posicao =
        bExiste ? chave.GetPonteiro() : db.m_MovManutPrev.GetQtdRegistros(uiChaveMes) + 1;
    REG_QVDMC chaveGravada;
    chaveGravada.SetDMC(static_cast<ULONG>(posicao), kModuloMovimentacao, maGravacao);
    regPs.dmcChave = chaveGravada.Get64();
    regPs.lUsuarioConclusao = GetUsuario();
    // Finishing an order (new, or stored open) re-arms its maintenance and
    // dates it today. An order stored finished and saved finished again (a
    // text corrected, concluded turned cancelled) keeps its day and re-arms
    // nothing: days count from when the work was done, not from the edit.
    const bool bFinalizando = regPs.lSituacao == 1 || regPs.lSituacao == 2;
    const bool bJaFinalizada =
        bExiste && (armazenada.ordem.lSituacao == 1 || armazenada.ordem.lSituacao == 2) && bFinalizando;
    regPs.dataConclusao = bJaFinalizada ? armazenada.ordem.dataConclusao : REG_QVDMA::Hoje().GetData();
    const bool bRearma = bFinalizando && !bJaFinalizada && regPs.lPonteiroCadastro != 0;

    // ---- Everything a later step would fail on is checked before anything changes ----
    // The plan a finished order re-arms (an order without a plan has none).
    if (bRearma) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano;
        std::memset(&plano, 0, sizeof plano);
        const HRESULT hr = LePlano(regPs.lPonteiroCadastro, plano);
        zenta::LiberaListasPlano(plano);
        if (FAILED(hr))
            QV_RECUSA(hr, zenta::TextoFormatado("Plano %lu da ordem (lPonteiroCadastro) n\xE3o encontrado",
                                   static_cast<unsigned long>(regPs.lPonteiroCadastro)));
    }
    // The stock records of an open order.
    if (regPs.lSituacao == 0) {
        std::vector<REG_ES_PREBAIXAPS> baixas;
        if (const HRESULT hr = m_IntegraEstoque.MontaPreBaixas(regPs, baixas, erro); FAILED(hr)) {
            if (!erro.empty()) QV_RECUSA(hr, erro);
            QV_CHECK(hr);
        }
    }
    // What purchasing is asked for.
    CIntegracaoCompras integCM;
    if (const HRESULT hr = integCM.Inicializa(GetEmpresa(), GetUsuario(), static_cast<LONG>(GetNumeroSessao()));
        hr != S_OK) {
        QV_LOG_HR(hr, "integCM.Inicializa(GetEmpresa(), GetUsuario(), GetNumeroSessao())");
        return FAILED(hr) ? hr : E_FAIL;
    }
    if (const HRESULT hr = integCM.VerificaLinhas(regPs, erro); FAILED(hr)) {
        if (!erro.empty()) QV_RECUSA(hr, erro);
        QV_CHECK(hr);
    }
    // One job, one service order: while the one raised for the order is open
    // (billable) in technical assistance, the order is neither reopened nor
    // cancelled.
    if (bExiste && regPs.lSituacao != 1 && regPs.listaRelacionamentos.lQtdRelacionamentoOS != 0) {
        bool bAberta = false;
        QV_CHECK(OSVinculadaAberta(regPs, bAberta));
        if (bAberta)
            QV_RECUSA(E_ACCESSDENIED, "A ordem tem ordem de servi\xE7o aberta na assist\xEAncia t\xE9\x63nica: encerre-a "
                                      "l\xE1 antes de reabrir ou cancelar a ordem");
    }

    // The order's runs: products (each after its stock places), services
    // and texts. Nothing names them until the order record is written.
    {
        std::vector<REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1> produtos(regPs.listaProdutos.lQtdProdutos);
        for (ULONG i = 0; i < regPs.listaProdutos.lQtdProdutos; ++i) {
            const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& p = regPs.listaProdutos.pProdutos[i];
            REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1& r = produtos[i];
            std::memset(static_cast<void*>(&r), 0, sizeof r);
            r.lLocalEstoque = p.lLocalEstoque;
            if (p.listaLocal.lQtdEstoque != 0) {
                std::vector<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1> locais;
                locais.reserve(p.listaLocal.lQtdEstoque);
                for (ULONG l = 0; l < p.listaLocal.lQtdEstoque; ++l)
                    locais.push_back(LocalArmazenado(p.listaLocal.pLocaisEstoque[l]));
                ULONGLONG posLocais = 0;
                QV_CHECK(db.m_MovLocalProduto.GravaColecao(uiChaveMes, posLocais, locais));
                r.lLocalEstoque = static_cast<ULONG>(posLocais);
            }
            r.lProduto = p.lProduto;
            r.lGrade1 = p.lGrade1;
            r.lGrade2 = p.lGrade2;
            r.lGrade3 = p.lGrade3;
            r.vQuantidadePrevista.int64 = p.vQuantidadePrevista.int64;
            r.vQuantidadeUtilizada.int64 = p.vQuantidadeUtilizada.int64;
            r.lTecnico = p.lTecnico;
            r.lQtdEstoque = p.listaLocal.lQtdEstoque;
            r.bGerarSolicitacaoCompras = static_cast<BYTE>(p.bGerarSolicitacaoCompras);  // checked to fit
        }
        ULONGLONG posProdutos = 0;
        QV_CHECK(db.m_MovProdutoManutPrev.GravaColecao(uiChaveMes, posProdutos, produtos));
        if (!produtos.empty()) regPs.lProdutosMovimentacao = static_cast<ULONG>(posProdutos);
    }

    {
        std::vector<REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1> servicos(regPs.listaServicos.lQtdServicos);
        for (ULONG i = 0; i < regPs.listaServicos.lQtdServicos; ++i) {
            const _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS& s = regPs.listaServicos.pServicos[i];
            REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1& r = servicos[i];
            std::memset(static_cast<void*>(&r), 0, sizeof r);
            r.lServico = s.lServico;
            r.lTecnico = s.lTecnico;
            r.vQuantidadePrevista.int64 = s.vQuantidadePrevista.int64;
            r.vQuantidadeUtilizada.int64 = s.vQuantidadeUtilizada.int64;
            r.bGerarSolicitacaoCompras = static_cast<BYTE>(s.bGerarSolicitacaoCompras);  // checked to fit
        }
        ULONGLONG posServicos = 0;
        QV_CHECK(db.m_MovServicoManutPrev.GravaColecao(uiChaveMes, posServicos, servicos));
        if (!servicos.empty()) regPs.lServicosMovimentacao = static_cast<ULONG>(posServicos);
    }

    // The observation, then the occurrence, as new texts. An empty text is
    // written too: a text the user cleared must read back empty.
    {
        ULONGLONG posObservacao = 0;
        QV_CHECK(db.m_MovManutPrevTXT.Grava(posObservacao, zenta::BstrParaCp1252(regPs.bsObservacao)));
        regPs.lObservacao = static_cast<ULONG>(posObservacao);
        ULONGLONG posOcorrencia = 0;
        QV_CHECK(db.m_MovManutPrevTXT.Grava(posOcorrencia, zenta::BstrParaCp1252(regPs.bsOcorrencia)));
        regPs.lOcorrencia = static_cast<ULONG>(posOcorrencia);
    }

    // ---- The other modules; what was changed there is undone if a later step fails ----
    bool bComprasPreparadas = false;
    bool bEstoqueAlterado = false;
    DesfazSeFalhar desfaz{[&]() {
        if (bComprasPreparadas && integCM.DesfazSolicitacao() != S_OK)
            QV_LOG_HR(E_FAIL, "integCM.DesfazSolicitacao()");
        if (!bEstoqueAlterado) return;
        if (regPs.lSituacao == 0) m_IntegraEstoque.LimparBaixaNoEstoque(chaveGravada, static_cast<LONG>(regPs.lFilial));
        if (bExiste && armazenada.ordem.lSituacao == 0)
            m_IntegraEstoque.EfetuaBaixaNoEstoque(armazenada.ordem, chaveArmazenada);
    }};

    // Purchase requests: the new one is sent now, the order's earlier
    // changeable ones are deleted once the order is saved.
    std::vector<ULONGLONG> solicitacoes(regPs.listaIntegracoesCompras.pDMC,
                                        regPs.listaIntegracoesCompras.pDMC + regPs.listaIntegracoesCompras.lQtdDMC);
    if (const HRESULT hr = integCM.PreparaSolicitacao(regPs); hr != S_OK) {
        QV_LOG_HR(hr, "integCM.FazSolicitacaoCompra(regPs)");
        if (HRESULT_FACILITY(hr) != FACILITY_ITF) return FAILED(hr) ? hr : E_FAIL;
    } else {
        bComprasPreparadas = true;
        solicitacoes = integCM.ChavesPrevistas();
    }

    // Stock: the pre-withdrawal of the order as stored (under its stored
    // branch) is undone, and an open order pre-withdraws anew.
    bEstoqueAlterado = true;
    if (bExiste)
        QV_CHECK(m_IntegraEstoque.LimparBaixaNoEstoque(chaveArmazenada, static_cast<LONG>(armazenada.ordem.lFilial)));
    if (regPs.lSituacao == 0) {
        if (const HRESULT hr = m_IntegraEstoque.EfetuaBaixaNoEstoque(regPs, chaveGravada); FAILED(hr)) {
            QV_LOG_HR(hr, "m_IntegraEstoque.EfetuaBaixaNoEstoque(regPs, *pRegDMCGravado)");
            return hr;
        }
    }

    // A concluded order's service order: the open one rewritten, or one raised.
    REG_PTR_OS regPtrOSGerada{};
    if (regPs.lSituacao == 1 && regPs.bGerarOS != 0) QV_CHECK(GeraOS(regPs, regPtrOSGerada));
    // A service order raised now joins the order's links (a copy one entry
    // longer).
    std::vector<_REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS> relacionamentos(
        regPs.listaRelacionamentos.pRelacionamentos,
        regPs.listaRelacionamentos.pRelacionamentos + regPs.listaRelacionamentos.lQtdRelacionamentoOS);
    if (regPtrOSGerada.lPtrOS != 0) {
        _REG_RELACIONAMENTO_MOVIMENTACAO_OS_PS novo{};
        novo.dmcMovimentacao = chaveGravada.Get64();
        novo.lPtrOS = regPtrOSGerada.lPtrOS;
        novo.maOS = regPtrOSGerada.maOS > QVMA_MAXIMO ? 0 : regPtrOSGerada.maOS;
        relacionamentos.push_back(novo);
        regPs.listaRelacionamentos.lQtdRelacionamentoOS = static_cast<ULONG>(relacionamentos.size());
        regPs.listaRelacionamentos.pRelacionamentos = relacionamentos.data();
        QV_CHECK(GravaRelacionamentoMovimentacaoOS(regPs));
    }

    // The request keys and the order record, last.
    regPs.listaIntegracoesCompras.lQtdDMC = static_cast<ULONG>(solicitacoes.size());
    regPs.listaIntegracoesCompras.pDMC = solicitacoes.data();
    QV_CHECK(GravaIntegracaoCompras(regPs, maGravacao));
    ++regPs.lVersaoRegistro;
    REG_MOVIMENTACAO_MANUT_PREV_V1 registro;
    ArmazenadoDaMovimentacao(regPs, registro);
    // The key stored in the record is the one the order ends up with.
    registro.dmcChave = chaveGravada;
    ULONGLONG posGravar = chave.GetPonteiro();
    QV_CHECK(db.m_MovManutPrev.Grava(uiChaveMes, posGravar, registro));
    if (posGravar != posicao) {
        // Another writer cannot append between the count and the write (the
        // company's write lock is held); a different position would mean a
        // damaged file.
        QV_CHECK(E_QVCR_INCONSISTENCIA_CHAVE_QUANTIDADE);
    }
    desfaz.bAtivo = false;
    *pRegDMCGravado = chaveGravada.Get64();

    // Saved: the earlier requests purchasing still lets change go. One it
    // refuses to delete still exists, so the order keeps naming it.
    if (bComprasPreparadas && integCM.ConcluiSolicitacao() != S_OK && integCM.Chaves() != solicitacoes) {
        solicitacoes = integCM.Chaves();
        regPs.listaIntegracoesCompras.lQtdDMC = static_cast<ULONG>(solicitacoes.size());
        regPs.listaIntegracoesCompras.pDMC = solicitacoes.data();
        QV_CHECK(GravaIntegracaoCompras(regPs, maGravacao));
        registro.lPtrIntegracaoCompras = regPs.lPtrIntegracaoCompras;
        registro.lQtdDMC = regPs.listaIntegracoesCompras.lQtdDMC;
        QV_CHECK(db.m_MovManutPrev.Grava(uiChaveMes, posGravar, registro));
    }

    // A finished order re-arms its maintenance, once the order is written so
    // that nothing the plan's save does can take the order's position. A
    // failure here is logged and does not undo the order's save, which
    // stands.
    if (bRearma) {
        if (const HRESULT hr = RearmaManutencaoDaMovimentacao(regPs); FAILED(hr))
            QV_LOG_HR(hr, "RearmaManutencaoDaMovimentacao(regPs) (the order is saved)");
    }
    return S_OK;
}

#undef QV_RECUSA

HRESULT CBaseManutencaoPreventiva::GravaIntegracaoCompras(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs, USHORT maGravacao) {
    std::vector<REG_QVDMC> chaves;
    chaves.reserve(regPs.listaIntegracoesCompras.lQtdDMC);
    for (ULONG i = 0; i < regPs.listaIntegracoesCompras.lQtdDMC; ++i)
        chaves.emplace_back(regPs.listaIntegracoesCompras.pDMC[i]);
    ULONGLONG posicao = 0;
    QV_CHECK(m_pDataBase->m_MovIntegracaoCompras.GravaColecao(QVMAToChave(maGravacao), posicao, chaves));
    if (!chaves.empty()) regPs.lPtrIntegracaoCompras = static_cast<ULONG>(posicao);
    return S_OK;
}

// ---- Reading an order ------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::LeIntegracaoCompras(_REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                       ULONGLONG uiChaveMes) {
    auto& lista = regMovimentacao.listaIntegracoesCompras;
    const ULONG quantidade = lista.lQtdDMC;
    lista.pDMC = nullptr;
    lista.lQtdDMC = 0;
    if (quantidade == 0) return S_OK;
    auto& arquivo = m_pDataBase->m_MovIntegracaoCompras;
    if (!RunDentro(regMovimentacao.lPtrIntegracaoCompras, quantidade, arquivo.GetQtdRegistros(uiChaveMes)))
        QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    QV_CHECK(AlocaArray(quantidade, lista.pDMC));
    lista.lQtdDMC = quantidade;
    for (ULONG i = 0; i < quantidade; ++i) {
        REG_QVDMC chave;
        QV_CHECK(arquivo.Le(uiChaveMes, static_cast<ULONGLONG>(regMovimentacao.lPtrIntegracaoCompras) + i, chave));
        lista.pDMC[i] = chave.Get64();
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeMovimentacaoInterna(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS& m,
                                                         bool bCompleto) {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    std::memset(&m, 0, sizeof m);
    const REG_QVDMC chave(dmcChave);
    const ULONGLONG uiChaveMes = QVMAToChave(chave.GetMa());
    REG_MOVIMENTACAO_MANUT_PREV_V1 r{};
    QV_CHECK(db.m_MovManutPrev.Le(uiChaveMes, chave.GetPonteiro(), r));
    MovimentacaoDoArmazenado(r, m);
    // The key as the order is found: its position and month/year.
    REG_QVDMC chaveLida;
    chaveLida.SetDMC(chave.GetPonteiro(), kModuloMovimentacao, chave.GetMa());
    m.dmcChave = chaveLida.Get64();
    if (!bCompleto) {
        // Light: lists, texts and links stay empty.
        m.listaProdutos.lQtdProdutos = 0;
        m.listaServicos.lQtdServicos = 0;
        m.listaRelacionamentos.lQtdRelacionamentoOS = 0;
        m.listaIntegracoesCompras.lQtdDMC = 0;
        return S_OK;
    }

    QV_CHECK(LeRelacionamentoMovimentacaoOS(m));

    const ULONG qtdProdutos = r.lQtdProdutos;
    m.listaProdutos.lQtdProdutos = 0;
    if (qtdProdutos != 0) {
        if (!RunDentro(r.lProdutosMovimentacao, qtdProdutos, db.m_MovProdutoManutPrev.GetQtdRegistros(uiChaveMes)))
            QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
        QV_CHECK(AlocaArray(qtdProdutos, m.listaProdutos.pProdutos));
        m.listaProdutos.lQtdProdutos = qtdProdutos;
        for (ULONG i = 0; i < qtdProdutos; ++i) {
            _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& p = m.listaProdutos.pProdutos[i];
            REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1 rp{};
            QV_CHECK(db.m_MovProdutoManutPrev.Le(uiChaveMes, static_cast<ULONGLONG>(r.lProdutosMovimentacao) + i, rp));
            p.lProduto = rp.lProduto;
            p.lGrade1 = rp.lGrade1;
            p.lGrade2 = rp.lGrade2;
            p.lGrade3 = rp.lGrade3;
            p.lTecnico = rp.lTecnico;
            p.lLocalEstoque = rp.lLocalEstoque;
            p.bGerarSolicitacaoCompras = rp.bGerarSolicitacaoCompras;
            p.vQuantidadePrevista.int64 = rp.vQuantidadePrevista.int64;
            p.vQuantidadeUtilizada.int64 = rp.vQuantidadeUtilizada.int64;
            if (rp.lQtdEstoque == 0) continue;
            if (!RunDentro(rp.lLocalEstoque, rp.lQtdEstoque, db.m_MovLocalProduto.GetQtdRegistros(uiChaveMes)))
                QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
            QV_CHECK(AlocaArray(rp.lQtdEstoque, p.listaLocal.pLocaisEstoque));
            p.listaLocal.lQtdEstoque = rp.lQtdEstoque;
            for (ULONG l = 0; l < rp.lQtdEstoque; ++l) {
                REG_MOVIMENTACAO_LOCAL_PRODUTO_V1 rl{};
                QV_CHECK(db.m_MovLocalProduto.Le(uiChaveMes, static_cast<ULONGLONG>(rp.lLocalEstoque) + l, rl));
                zenta::CopiaLocalEstoque(p.listaLocal.pLocaisEstoque[l], rl);
            }
        }
    }

    const ULONG qtdServicos = r.lQtdServicos;
    m.listaServicos.lQtdServicos = 0;
    if (qtdServicos != 0) {
        if (!RunDentro(r.lServicosMovimentacao, qtdServicos, db.m_MovServicoManutPrev.GetQtdRegistros(uiChaveMes)))
            QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
        QV_CHECK(AlocaArray(qtdServicos, m.listaServicos.pServicos));
        m.listaServicos.lQtdServicos = qtdServicos;
        for (ULONG i = 0; i < qtdServicos; ++i) {
            REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1 rs{};
            QV_CHECK(db.m_MovServicoManutPrev.Le(uiChaveMes, static_cast<ULONGLONG>(r.lServicosMovimentacao) + i, rs));
            _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS& s = m.listaServicos.pServicos[i];
            s.lServico = rs.lServico;
            s.lTecnico = rs.lTecnico;
            s.bGerarSolicitacaoCompras = rs.bGerarSolicitacaoCompras;
            s.vQuantidadePrevista.int64 = rs.vQuantidadePrevista.int64;
            s.vQuantidadeUtilizada.int64 = rs.vQuantidadeUtilizada.int64;
        }
    }

    // The text file is only looked for when the order names a text.
    if ((r.lObservacao != 0 || r.lOcorrencia != 0) && db.m_MovManutPrevTXT.ExisteArquivo()) {
        std::string texto;
        if (r.lObservacao != 0) {
            QV_CHECK(db.m_MovManutPrevTXT.Le(r.lObservacao, texto));
            m.bsObservacao = zenta::Cp1252ParaBstr(texto);
            if (m.bsObservacao == nullptr) QV_CHECK(E_OUTOFMEMORY);
        }
        if (r.lOcorrencia != 0) {
            QV_CHECK(db.m_MovManutPrevTXT.Le(r.lOcorrencia, texto));
            m.bsOcorrencia = zenta::Cp1252ParaBstr(texto);
            if (m.bsOcorrencia == nullptr) QV_CHECK(E_OUTOFMEMORY);
        }
    }

    QV_CHECK(LeIntegracaoCompras(m, uiChaveMes));
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeMovimentacao(ULONGLONG dmcChave, _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) {
    if (pRegMovimentacao == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    const HRESULT hr = LeMovimentacaoInterna(dmcChave, *pRegMovimentacao, true);
    // A read that fails part-way hands out nothing.
    if (FAILED(hr)) zenta::LiberaListasMovimentacao(*pRegMovimentacao);
    return hr;
}

HRESULT CBaseManutencaoPreventiva::LeMovimentacaoLight(ULONGLONG dmcChave,
                                                       _REG_MOVIMENTACAO_MANUT_PREV_PS* pRegMovimentacao) {
    if (pRegMovimentacao == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    QV_CHECK(LeMovimentacaoInterna(dmcChave, *pRegMovimentacao, false));
    return S_OK;
}

// ---- Searching ---------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::FiltraMovimentacao(const _REG_MOVIMENTACAO_FILTRO_PS& regFiltro,
                                                      const REG_MOVIMENTACAO_MANUT_PREV_V1& regMov,
                                                      ULONGLONG uiChaveMes, ULONG uiPosicao, bool& bPassa) {
    bPassa = false;
    const auto& f = regFiltro;
    const auto& m = regMov;
    if (!zenta::PassaIdentificacao(f.lTipoIdentificacao, f.pPonteirosIdentificacao, f.lQtdPonteirosIdentificacao,
                                   m.lEquipamento, m.lProduto))
        return S_OK;
    if (f.lPonteiroCadastro != 0 && f.lPonteiroCadastro != m.lPonteiroCadastro) return S_OK;
    if (!TextoCampo(f.szNrSerie).empty() && !zenta::IguaisSemCaixa(TextoCampo(f.szNrSerie), TextoCampo(m.szNrSerie)))
        return S_OK;
    // Both bounds of the period are excluded.
    if (f.dataInicialPeriodo != 0 && m.dataPrevista <= f.dataInicialPeriodo) return S_OK;
    if (f.dataFinalPeriodo != 0 && m.dataPrevista >= f.dataFinalPeriodo) return S_OK;
    if (f.bAtivo != 0 || f.bConcluido != 0 || f.bCancelado != 0) {
        const bool bSituacao = (f.bAtivo != 0 && m.lSituacao == 0) || (f.bCancelado != 0 && m.lSituacao == 2) ||
                               (f.bConcluido != 0 && m.lSituacao == 1);
        if (!bSituacao) return S_OK;
    }
    if ((f.lCliente != 0 && f.lCliente != m.lCliente) || (f.lEquipamento != 0 && f.lEquipamento != m.lEquipamento) ||
        (f.lMarca != 0 && f.lMarca != m.lMarca) || (f.lModelo != 0 && f.lModelo != m.lModelo) ||
        (f.lTipo != 0 && f.lTipo != m.lTipo) || (f.lProduto != 0 && f.lProduto != m.lProduto) ||
        (f.lGrade1 != 0 && f.lGrade1 != m.lPonteiroGrade1) || (f.lGrade2 != 0 && f.lGrade2 != m.lPonteiroGrade2) ||
        (f.lGrade3 != 0 && f.lGrade3 != m.lPonteiroGrade3))
        return S_OK;
    ULONGLONG uiDmcFiltro = 0;
    static_assert(sizeof f.dmcMovimentacao == sizeof uiDmcFiltro);
    std::memcpy(&uiDmcFiltro, &f.dmcMovimentacao, sizeof uiDmcFiltro);
    const REG_QVDMC dmcFiltro(uiDmcFiltro);
    if (dmcFiltro.GetPonteiro() != 0 && dmcFiltro.GetPonteiro() != uiPosicao) return S_OK;
    if (dmcFiltro.GetMa() != 0 && dmcFiltro.GetMa() != QVChaveToMA(static_cast<ULONG>(uiChaveMes))) return S_OK;
    if (f.lPtrOS != 0) {
        // The order's service-order links, read from their file.
        auto& arquivo = m_pDataBase->m_RelacionamentoMovOS;
        if (!RunDentro(m.lRelacionamentoOS, m.lQtdRelacionamentoOS, arquivo.GetQtdRegistros()))
            QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
        bool bAchou = false;
        for (ULONG i = 0; i < m.lQtdRelacionamentoOS && !bAchou; ++i) {
            REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1 rel{};
            QV_CHECK(arquivo.Le(static_cast<ULONGLONG>(m.lRelacionamentoOS) + i, rel));
            bAchou = rel.lPtrOS == f.lPtrOS && rel.maOS == f.maOS;
        }
        if (!bAchou) return S_OK;
    }
    bPassa = true;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaPonteirosMovimentacao(const _REG_MOVIMENTACAO_FILTRO_PS& regFiltro,
                                                              _REG_LISTA_PONTEIROS_DATA_PS* pregPonteiros) {
    if (pregPonteiros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    if (!ListaValida(regFiltro.lQtdPonteirosIdentificacao, regFiltro.pPonteirosIdentificacao) ||
        !TextoTerminado(regFiltro.szNrSerie))
        QV_CHECK(E_INVALIDARG);
    pregPonteiros->lQtdPonteiros = 0;
    pregPonteiros->pPonteiros = nullptr;
    auto& arquivo = m_pDataBase->m_MovManutPrev;
    // A filter naming an order's month (and position) can only match there:
    // only that month file (and position) is tested, so that finding an
    // order by its key costs the same in any company, however many months
    // it holds.
    ULONGLONG uiDmcFiltro = 0;
    std::memcpy(&uiDmcFiltro, &regFiltro.dmcMovimentacao, sizeof uiDmcFiltro);
    const REG_QVDMC dmcFiltro(uiDmcFiltro);
    std::vector<ULONGLONG> chavesMes;
    if (dmcFiltro.GetMa() == 0) {
        chavesMes = arquivo.GetChaves();
    } else {
        const ULONG chaveFiltro = QVMAToChave(dmcFiltro.GetMa());
        if (QVChaveToMA(chaveFiltro) == dmcFiltro.GetMa() && arquivo.ExisteMembro(chaveFiltro))
            chavesMes.push_back(chaveFiltro);
    }
    std::vector<_REG_PTR_DATA_PS> achados;
    for (const auto& [ma, chave] : zenta::MesesEmOrdem(chavesMes)) {
        const ULONGLONG total = arquivo.GetQtdRegistros(chave);
        const ULONGLONG primeira = dmcFiltro.GetPonteiro() != 0 ? dmcFiltro.GetPonteiro() : 1;
        const ULONGLONG ultima = dmcFiltro.GetPonteiro() != 0 ? std::min<ULONGLONG>(dmcFiltro.GetPonteiro(), total) : total;
        for (ULONGLONG pos = primeira; pos <= ultima; ++pos) {
            REG_MOVIMENTACAO_MANUT_PREV_V1 r{};
            QV_CHECK(arquivo.Le(chave, pos, r));
            bool bPassa = false;
            QV_CHECK(FiltraMovimentacao(regFiltro, r, chave, static_cast<ULONG>(pos), bPassa));
            if (!bPassa) continue;
            _REG_PTR_DATA_PS item{};
            item.dataPonteiro = ma;
            item.lPonteiro = static_cast<ULONG>(pos);
            achados.push_back(item);
        }
    }
    if (achados.empty()) return S_OK;
    QV_CHECK(AlocaArray(achados.size(), pregPonteiros->pPonteiros));
    std::memcpy(pregPonteiros->pPonteiros, achados.data(), achados.size() * sizeof(_REG_PTR_DATA_PS));
    pregPonteiros->lQtdPonteiros = static_cast<ULONG>(achados.size());
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaRegistrosMovimentacao(const _REG_LISTA_PONTEIROS_DATA_PS& regPonteiros,
                                                              _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) {
    if (pRegListaRegistros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    pRegListaRegistros->lQtdRegistros = 0;
    pRegListaRegistros->pRegistros = nullptr;
    if (regPonteiros.lQtdPonteiros == 0) return S_OK;
    if (regPonteiros.pPonteiros == nullptr) QV_CHECK(E_INVALIDARG);
    if (regPonteiros.lQtdPonteiros > m_pDataBase->m_MovManutPrev.GetQtdRegistros())
        QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    _REG_MOVIMENTACAO_MANUT_PREV_PS* pOrdens = nullptr;
    QV_CHECK(AlocaArray(regPonteiros.lQtdPonteiros, pOrdens));
    for (ULONG i = 0; i < regPonteiros.lQtdPonteiros; ++i) {
        const _REG_PTR_DATA_PS& item = regPonteiros.pPonteiros[i];
        REG_QVDMC chave;
        chave.SetDMC(item.lPonteiro, kModuloMovimentacao, item.dataPonteiro);
        const HRESULT hr = LeMovimentacaoInterna(chave.Get64(), pOrdens[i], true);
        if (FAILED(hr)) {
            for (ULONG j = 0; j <= i; ++j) zenta::LiberaListasMovimentacao(pOrdens[j]);
            CoTaskMemFree(pOrdens);
            QV_CHECK(hr);
        }
    }
    pRegListaRegistros->lQtdRegistros = regPonteiros.lQtdPonteiros;
    pRegListaRegistros->pRegistros = pOrdens;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::PosicoesDaManutencaoNoMes(ULONG lCodigoManutencao, ULONGLONG uiChaveMes,
                                                              std::vector<ULONGLONG>& posicoes) {
    // The month's maintenance-code index gives the positions, ascending; a
    // member without the index (none is expected: the group gives its
    // definition to every member) is walked whole. Each candidate is read
    // and its code confirmed.
    auto& arquivo = m_pDataBase->m_MovManutPrev;
    std::vector<ULONGLONG> candidatos;
    const HRESULT hr =
        arquivo.ExisteIndex(uiChaveMes, lCodigoManutencao, candidatos, zenta::INDICE_ORDEM_CODIGO_MANUTENCAO);
    if (hr == E_QVCR_COLUNA_INDEXACAO_INVALIDA) {
        candidatos.clear();
        const ULONGLONG total = arquivo.GetQtdRegistros(uiChaveMes);
        for (ULONGLONG pos = 1; pos <= total; ++pos) candidatos.push_back(pos);
    } else {
        QV_CHECK(hr);
    }
    posicoes.clear();
    for (const ULONGLONG pos : candidatos) {
        REG_MOVIMENTACAO_MANUT_PREV_V1 r{};
        QV_CHECK(arquivo.Le(uiChaveMes, pos, r));
        if (r.lCodigoManutencao == lCodigoManutencao) posicoes.push_back(pos);
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::MesesDaManutencao(ULONG lCodigoManutencao, std::vector<ULONGLONG>& chavesMes) {
    QV_CHECK(m_pDataBase->m_MovManutPrev.MembrosComChave(lCodigoManutencao, zenta::INDICE_ORDEM_CODIGO_MANUTENCAO,
                                                         chavesMes));
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeUltimaOrdemDaManutencao(ULONG lCodigoManutencao, bool& achou,
                                                             REG_MOVIMENTACAO_MANUT_PREV_V1& ultima) {
    achou = false;
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    auto& arquivo = m_pDataBase->m_MovManutPrev;
    // The last of the list BuscaMovimentosPelaManutencao gives: the newest
    // month holding one, its highest position. Only that record is read.
    std::vector<ULONGLONG> chavesMes;
    QV_CHECK(MesesDaManutencao(lCodigoManutencao, chavesMes));
    const auto meses = zenta::MesesEmOrdem(chavesMes);
    std::vector<ULONGLONG> posicoes;
    for (auto it = meses.rbegin(); it != meses.rend(); ++it) {
        QV_CHECK(PosicoesDaManutencaoNoMes(lCodigoManutencao, it->second, posicoes));
        if (posicoes.empty()) continue;
        QV_CHECK(arquivo.Le(it->second, posicoes.back(), ultima));
        achou = true;
        return S_OK;
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaMovimentosPelaManutencao(ULONG lCodigoManutencao,
                                                                 _REG_LISTA_MOVIMENTACAO_MANUT_PREV_PS* pRegListaRegistros) {
    if (pRegListaRegistros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    pRegListaRegistros->lQtdRegistros = 0;
    pRegListaRegistros->pRegistros = nullptr;
    std::vector<_REG_PTR_DATA_PS> achados;
    // Oldest month first, then by position: the last is the newest order.
    std::vector<ULONGLONG> chavesMes;
    QV_CHECK(MesesDaManutencao(lCodigoManutencao, chavesMes));
    std::vector<ULONGLONG> posicoes;
    for (const auto& [ma, chave] : zenta::MesesEmOrdem(chavesMes)) {
        QV_CHECK(PosicoesDaManutencaoNoMes(lCodigoManutencao, chave, posicoes));
        for (const ULONGLONG pos : posicoes) {
            _REG_PTR_DATA_PS item{};
            item.dataPonteiro = ma;
            item.lPonteiro = static_cast<ULONG>(pos);
            achados.push_back(item);
        }
    }
    if (achados.empty()) return S_OK;
    _REG_LISTA_PONTEIROS_DATA_PS lista{};
    lista.lQtdPonteiros = static_cast<ULONG>(achados.size());
    lista.pPonteiros = achados.data();
    QV_CHECK(BuscaRegistrosMovimentacao(lista, pRegListaRegistros));
    return S_OK;
}

}  // namespace zenta
