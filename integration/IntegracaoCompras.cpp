#include "integration/IntegracaoCompras.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "diagnostics/QVCheck.h"
#include "diagnostics/QVTextoFormatado.h"
#include "records/QVCamposRegistro.h"
#include "values/QVCurrency.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"

namespace zenta {

int CasasDoCodigoUnidade(USHORT codigo) {
    switch (codigo) {
        case 1: return 2;
        case 2: return 4;
        default: return 0;
    }
}

bool ArredondaParaCima(CY quantidade, USHORT codigoCasas, CY& arredondada) {
    LONGLONG passo = 1;
    for (int c = CasasDoCodigoUnidade(codigoCasas); c < 4; ++c) passo *= 10;
    arredondada = quantidade;
    LONGLONG resto = quantidade.int64 % passo;
    if (resto == 0) return true;
    // Towards plus infinity: a negative remainder is cut off, a positive one filled up.
    if (resto < 0) resto += passo;
    return !__builtin_add_overflow(quantidade.int64 - resto, passo, &arredondada.int64);
}

std::size_t QuantidadesPorItem::Hash::operator()(const QV_KEY_PRODUTO_SERVICO& k) const noexcept {
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(&k), sizeof k));
}

bool QuantidadesPorItem::Iguais::operator()(const QV_KEY_PRODUTO_SERVICO& a,
                                            const QV_KEY_PRODUTO_SERVICO& b) const noexcept {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool QuantidadesPorItem::Soma(const QV_KEY_PRODUTO_SERVICO& key, CY quantidade) {
    auto [it, novo] = m_quantidades.try_emplace(key, 0);
    if (novo) m_chaves.push_back(key);
    LONGLONG soma = 0;
    if (__builtin_add_overflow(it->second, quantidade.int64, &soma)) return false;
    it->second = soma;
    return true;
}

bool QuantidadesPorItem::Le(const QV_KEY_PRODUTO_SERVICO& key, CY& quantidade) const {
    const auto it = m_quantidades.find(key);
    if (it == m_quantidades.end()) return false;
    quantidade.int64 = it->second;
    return true;
}

void QuantidadesPorItem::Define(const QV_KEY_PRODUTO_SERVICO& key, CY quantidade) {
    auto [it, novo] = m_quantidades.try_emplace(key, 0);
    if (novo) m_chaves.push_back(key);
    it->second = quantidade.int64;
}

void QuantidadesPorItem::Limpa() {
    m_chaves.clear();
    m_quantidades.clear();
}

namespace {

QV_KEY_PRODUTO_SERVICO Chave(ULONG ponteiro, USHORT g1, USHORT g2, USHORT g3, char tipo) {
    QV_KEY_PRODUTO_SERVICO key;
    std::memset(&key, 0, sizeof key);
    key.ulPonteiroProdutoServico = ponteiro;
    key.usGrade1 = g1;
    key.usGrade2 = g2;
    key.usGrade3 = g3;
    key.cTipo = tipo;
    return key;
}

constexpr std::size_t kMaxItensSolicitacao = 0xFFFF;

}  // namespace

CIntegracaoCompras::~CIntegracaoCompras() { Finaliza(); }

HRESULT CIntegracaoCompras::OnFinaliza() {
    m_pSolicitacaoCompas.Release();
    m_bServidoresInicializados = false;
    m_acessos = {};
    LiberaListaSolicitacoes(m_ListaSolicitacoesFeitas);
    m_mapNecessario.Limpa();
    m_mapJaSolicitado.Limpa();
    return CQVBaseParaRotinas::OnFinaliza();
}

HRESULT CIntegracaoCompras::InicializaAcessos() {
    if (GetAcessoEmpresarial() != nullptr && GetAcessoEstoque() != nullptr) return S_OK;
    QV_CHECK(GetAcessoServidores(m_acessos));
    if (GetAcessoEmpresarial() == nullptr || GetAcessoEstoque() == nullptr) QV_CHECK(E_NOTIMPL);
    return S_OK;
}

HRESULT CIntegracaoCompras::VerificaLinhas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg, std::string& erro) {
    erro.clear();
    if (!zenta::ListaValida(Reg.listaProdutos.lQtdProdutos, Reg.listaProdutos.pProdutos) ||
        !zenta::ListaValida(Reg.listaServicos.lQtdServicos, Reg.listaServicos.pServicos))
        QV_CHECK(E_INVALIDARG);
    if (Reg.lSituacao == 2) return S_OK;
    QV_CHECK(InicializaAcessos());
    for (ULONG i = 0; i < Reg.listaProdutos.lQtdProdutos; ++i) {
        const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha = Reg.listaProdutos.pProdutos[i];
        if (linha.bGerarSolicitacaoCompras != 1) continue;
        if (linha.lGrade1 > 0xFFFFu || linha.lGrade2 > 0xFFFFu || linha.lGrade3 > 0xFFFFu) {
            erro = zenta::TextoFormatado("Produto %lu: grade acima de 65535 n\xE3o cabe na solicita\xE7\xE3o de compra",
                             static_cast<unsigned long>(linha.lProduto));
            QV_CHECK(E_INVALIDARG);
        }
        CQVDadosDF_Produto produto;
        if (const HRESULT hr = GetAcessoEmpresarial()->LeProduto(linha.lProduto, &produto); FAILED(hr)) {
            erro = zenta::TextoFormatado("Produto %lu para compra n\xE3o encontrado no cadastro",
                             static_cast<unsigned long>(linha.lProduto));
            QV_CHECK(hr);
        }
        CQVDadosDF_UnidadeMedidaProduto unidade;
        if (const HRESULT hr = GetAcessoEmpresarial()->LeUnidadeMedidaProduto(produto.GetPonteiroUnidadeMedidaEstoque(),
                                                                              &unidade);
            FAILED(hr)) {
            erro = zenta::TextoFormatado("Unidade de medida %lu do produto %lu para compra n\xE3o encontrada",
                             static_cast<unsigned long>(produto.GetPonteiroUnidadeMedidaEstoque()),
                             static_cast<unsigned long>(linha.lProduto));
            QV_CHECK(hr);
        }
    }
    for (ULONG i = 0; i < Reg.listaServicos.lQtdServicos; ++i) {
        const _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS& linha = Reg.listaServicos.pServicos[i];
        if (linha.bGerarSolicitacaoCompras != 1) continue;
        CQVDadosDF_Servico servico;
        if (const HRESULT hr = GetAcessoEmpresarial()->LeServico(linha.lServico, &servico); FAILED(hr)) {
            erro = zenta::TextoFormatado("Servi\xE7o %lu para compra n\xE3o encontrado no cadastro",
                             static_cast<unsigned long>(linha.lServico));
            QV_CHECK(hr);
        }
        CQVDadosDF_UnidadeMedidaServico unidade;
        if (const HRESULT hr = GetAcessoEmpresarial()->LeUnidadeMedidaServico(servico.GetPonteiroUnidadeMedida(), &unidade);
            FAILED(hr)) {
            erro = zenta::TextoFormatado("Unidade de medida %lu do servi\xE7o %lu para compra n\xE3o encontrada",
                             static_cast<unsigned long>(servico.GetPonteiroUnidadeMedida()),
                             static_cast<unsigned long>(linha.lServico));
            QV_CHECK(hr);
        }
    }
    return S_OK;
}

HRESULT CIntegracaoCompras::FazSolicitacaoCompra(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg,
                                                 std::vector<ULONGLONG>& solicitacoes) {
    // Whatever happens below, the caller gets the keys as they then stand.
    struct Devolve {
        std::vector<ULONGLONG>& destino;
        const std::vector<ULONGLONG>& origem;
        ~Devolve() { destino = origem; }
    } devolve{solicitacoes, m_chaves};
    QV_CHECK_OK(PreparaSolicitacao(Reg));
    if (const HRESULT hr = ConcluiSolicitacao(); hr != S_OK) {
        QV_LOG_HR(hr, "ConcluiSolicitacao()");
        DesfazSolicitacao();
        return hr;
    }
    return S_OK;
}

HRESULT CIntegracaoCompras::PreparaSolicitacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg) {
    const auto& chaves = Reg.listaIntegracoesCompras;
    if (!zenta::ListaValida(chaves.lQtdDMC, chaves.pDMC) ||
        !zenta::ListaValida(Reg.listaProdutos.lQtdProdutos, Reg.listaProdutos.pProdutos) ||
        !zenta::ListaValida(Reg.listaServicos.lQtdServicos, Reg.listaServicos.pServicos))
        QV_CHECK(E_INVALIDARG);
    m_chavesAnteriores.assign(chaves.pDMC, chaves.pDMC + chaves.lQtdDMC);
    m_chaves = m_chavesAnteriores;
    m_chaveNova = 0;
    m_bPreparada = false;
    m_arrSolicitacoesInalteraveis.clear();

    // The lines flagged for purchase, in order; a cancelled order asks for
    // nothing, so that only what purchasing took over stays with it.
    m_arrProdutos.clear();
    m_arrServicos.clear();
    if (Reg.lSituacao != 2) {
        for (ULONG i = 0; i < Reg.listaProdutos.lQtdProdutos; ++i)
            if (Reg.listaProdutos.pProdutos[i].bGerarSolicitacaoCompras == 1)
                m_arrProdutos.push_back(Reg.listaProdutos.pProdutos[i]);
        for (ULONG i = 0; i < Reg.listaServicos.lQtdServicos; ++i)
            if (Reg.listaServicos.pServicos[i].bGerarSolicitacaoCompras == 1)
                m_arrServicos.push_back(Reg.listaServicos.pServicos[i]);
    }
    if (m_arrProdutos.size() + m_arrServicos.size() > kMaxItensSolicitacao) QV_CHECK(E_INVALIDARG);
    if (m_chavesAnteriores.empty() && m_arrProdutos.empty() && m_arrServicos.empty()) {
        m_bPreparada = true;
        return S_OK;
    }

    QV_CHECK_OK(InicializaServidores());
    QV_CHECK_OK(CarregaListaSolicitacoesCompras(Reg));
    // Which earlier requests purchasing took over, and what they ask for.
    QV_CHECK_OK(PodeRefazerSolicitacoes(Reg));
    if (m_arrProdutos.empty() && m_arrServicos.empty()) {
        m_bPreparada = true;
        return S_OK;
    }

    REG_CM_SOLICITACAO_COMPRA_PS regCompras;
    std::memset(static_cast<void*>(&regCompras), 0, sizeof regCompras);
    regCompras.dmcOrigem = Reg.dmcChave;
    regCompras.dataSolicitacao = REG_QVDMA::Hoje();
    regCompras.usFilial = static_cast<USHORT>(Reg.lFilial & 0xFFFFu);
    const REG_QVDMC chaveOrdem(Reg.dmcChave);
    const USHORT ma = chaveOrdem.GetMa();
    char mesAno[16];
    std::snprintf(mesAno, sizeof mesAno, "%02d%s%02d", ma == 0 ? 0 : QVMAGetMes(ma), "",
                  ma == 0 ? 0 : QVMAGetAno(ma) % 100);
    char origem[sizeof regCompras.szOrigem];
    std::snprintf(origem, sizeof origem, "%s-%06d", mesAno, static_cast<int>(chaveOrdem.GetPonteiro() % 1000000000u));
    std::memcpy(regCompras.szOrigem, origem, std::strlen(origem));

    // The items go back to the allocator whatever the outcome.
    const HRESULT hr = GeraSolicitacao(regCompras, Reg);
    LiberaItens(regCompras);
    if (hr != S_OK) {
        QV_LOG_HR(hr, "GeraSolicitacao(regCompras, Reg)");
        return hr;
    }
    m_bPreparada = true;
    return S_OK;
}

std::vector<ULONGLONG> CIntegracaoCompras::ChavesPrevistas() const {
    if (!m_bPreparada) return m_chaves;
    std::vector<ULONGLONG> chaves = m_arrSolicitacoesInalteraveis;
    if (m_chaveNova != 0) chaves.push_back(m_chaveNova);
    return chaves;
}

HRESULT CIntegracaoCompras::ConcluiSolicitacao() {
    if (!m_bPreparada) return S_OK;
    // Every deletion is tried; the first failure is the answer.
    HRESULT hrPrimeiro = S_OK;
    for (const ULONGLONG chave : m_chavesAnteriores) {
        bool inalteravel = false;
        for (const ULONGLONG c : m_arrSolicitacoesInalteraveis) inalteravel = inalteravel || c == chave;
        if (inalteravel) continue;
        if (const HRESULT hr = ExcluiChave(chave); hr != S_OK && hrPrimeiro == S_OK) hrPrimeiro = hr;
    }
    return hrPrimeiro;
}

HRESULT CIntegracaoCompras::DesfazSolicitacao() {
    if (m_chaveNova == 0) return S_OK;
    QV_CHECK_OK(ExcluiChave(m_chaveNova));
    m_chaveNova = 0;
    return S_OK;
}

HRESULT CIntegracaoCompras::InicializaServidores() {
    if (m_bServidoresInicializados) return S_OK;
    QV_CHECK(InicializaAcessos());
    QV_CHECK_OK(m_pSolicitacaoCompas.CoCreateInstance(CLSID_QVCM_SolicitacaoCompra));
    QV_CHECK_OK(m_pSolicitacaoCompas->Inicializa_Padrao(ProfilerToRegInicializaPS(this)));
    m_bServidoresInicializados = true;
    return S_OK;
}

HRESULT CIntegracaoCompras::CarregaListaSolicitacoesCompras(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg) {
    LiberaListaSolicitacoes(m_ListaSolicitacoesFeitas);
    std::vector<ULONGLONG> copia(Reg.listaIntegracoesCompras.pDMC,
                                 Reg.listaIntegracoesCompras.pDMC + Reg.listaIntegracoesCompras.lQtdDMC);
    _REG_LISTA_DMC_PS RegArrayPonteiros{};
    RegArrayPonteiros.lQtdDMC = static_cast<ULONG>(copia.size());
    RegArrayPonteiros.pDMC = copia.data();
    QV_CHECK_OK(m_pSolicitacaoCompas->LeLista(RegArrayPonteiros, &m_ListaSolicitacoesFeitas));
    // One record per key is what the steps below rely on.
    if (m_ListaSolicitacoesFeitas.lQtdSolicitacoes != copia.size() ||
        (!copia.empty() && m_ListaSolicitacoesFeitas.pSolicitacoes == nullptr)) {
        LiberaListaSolicitacoes(m_ListaSolicitacoesFeitas);
        QV_CHECK(E_UNEXPECTED);
    }
    return S_OK;
}

HRESULT CIntegracaoCompras::PodeRefazerSolicitacoes(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg) {
    m_arrSolicitacoesInalteraveis.clear();
    m_mapJaSolicitado.Limpa();
    for (ULONG i = 0; i < Reg.listaIntegracoesCompras.lQtdDMC; ++i) {
        const ULONGLONG dmcPs = Reg.listaIntegracoesCompras.pDMC[i];
        LONG bPodeAlterar = 0;
        QV_CHECK(m_pSolicitacaoCompas->Integracao_PodeAlterar(dmcPs, &bPodeAlterar));
        if (bPodeAlterar != 0) continue;
        const REG_CM_SOLICITACAO_COMPRA_PS& solicitacaoCompras = m_ListaSolicitacoesFeitas.pSolicitacoes[i];
        QV_CHECK_OK(AdicionaItensJaSolicitados(solicitacaoCompras));
        m_arrSolicitacoesInalteraveis.push_back(dmcPs);
    }
    return S_OK;
}

HRESULT CIntegracaoCompras::ExcluiChave(ULONGLONG chave) {
    QV_CHECK_OK(m_pSolicitacaoCompas->Integracao_Excluir(chave));
    // The order no longer names a request that is gone.
    for (auto it = m_chaves.begin(); it != m_chaves.end(); ++it) {
        if (*it == chave) {
            m_chaves.erase(it);
            break;
        }
    }
    return S_OK;
}

HRESULT CIntegracaoCompras::AdicionaItensJaSolicitados(const REG_CM_SOLICITACAO_COMPRA_PS& solicitacaoCompras) {
    if (solicitacaoCompras.usQtdItens != 0 && solicitacaoCompras.pItens == nullptr) QV_CHECK(E_UNEXPECTED);
    for (USHORT i = 0; i < solicitacaoCompras.usQtdItens; ++i) {
        const REG_CM_ITEM_SOLICITACAO_PS posicao = solicitacaoCompras.pItens[i];
        CQVDadosDF_UnidadeMedida uniMedida;
        USHORT keyUnidadeMedida = 0;
        if (posicao.cTipo == 'P') {
            CQVDadosDF_Produto produto;
            QV_CHECK_OK(GetAcessoEmpresarial()->LeProduto(posicao.lPonteiroProdutoServico, &produto));
            keyUnidadeMedida = produto.GetPonteiroUnidadeMedidaEstoque();
        } else {
            CQVDadosDF_Servico servico;
            QV_CHECK_OK(GetAcessoEmpresarial()->LeServico(posicao.lPonteiroProdutoServico, &servico));
            keyUnidadeMedida = servico.GetPonteiroUnidadeMedida();
        }
        QV_CHECK_OK(GetAcessoEmpresarial()->LeUnidadeMedida(keyUnidadeMedida, &uniMedida));
        const QV_KEY_PRODUTO_SERVICO key = Chave(posicao.lPonteiroProdutoServico, posicao.usGrade1, posicao.usGrade2,
                                                 posicao.usGrade3, posicao.cTipo);
        if (!m_mapJaSolicitado.Soma(key, posicao.vQuantidade)) QV_CHECK(DISP_E_OVERFLOW);
    }
    return S_OK;
}

HRESULT CIntegracaoCompras::GeraSolicitacao(REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                                            const _REG_MOVIMENTACAO_MANUT_PREV_PS&) {
    // An item whose quantity comes to nothing is not asked for: the next
    // item takes its place.
    std::size_t k = 0;
    const auto fica = [&regCompras, &k]() {
        REG_CM_ITEM_SOLICITACAO_PS& item = regCompras.pItens[k];
        if (item.vQuantidade.int64 > 0) {
            ++k;
        } else {
            CoTaskMemFree(item.pExtra);
            std::memset(static_cast<void*>(&item), 0, sizeof item);
        }
    };
    if (m_arrSolicitacoesInalteraveis.empty()) {
        // Every selected line is one item: products first, then services.
        const std::size_t quantidade = m_arrProdutos.size() + m_arrServicos.size();
        QV_CHECK(zenta::AlocaArray(quantidade, regCompras.pItens));
        regCompras.usQtdItens = static_cast<USHORT>(quantidade);
        for (std::size_t i = 0; i < m_arrProdutos.size(); ++i, fica())
            QV_CHECK_OK(AdicionaProduto(i, regCompras, regCompras.pItens[k]));
        for (std::size_t j = 0; j < m_arrServicos.size(); ++j, fica())
            QV_CHECK_OK(AdicionaServico(j, regCompras, regCompras.pItens[k]));
    } else {
        // Purchasing took some requests over: ask only for what they do not
        // already cover, one item per product position or service.
        m_mapNecessario.Limpa();
        bool cabe = true;
        for (const auto& linha : m_arrProdutos)
            cabe = cabe && m_mapNecessario.Soma(Chave(linha.lProduto, static_cast<USHORT>(linha.lGrade1 & 0xFFFFu),
                                                      static_cast<USHORT>(linha.lGrade2 & 0xFFFFu),
                                                      static_cast<USHORT>(linha.lGrade3 & 0xFFFFu), 'P'),
                                                linha.vQuantidadeUtilizada);
        for (const auto& linha : m_arrServicos)
            cabe = cabe && m_mapNecessario.Soma(Chave(linha.lServico, 0, 0, 0, 'S'), linha.vQuantidadeUtilizada);
        if (!cabe) QV_CHECK(DISP_E_OVERFLOW);
        std::vector<QV_KEY_PRODUTO_SERVICO> lista;
        for (const QV_KEY_PRODUTO_SERVICO& key : m_mapNecessario.Chaves()) {
            CY necessario{};
            CY jaSolicitado{};
            m_mapNecessario.Le(key, necessario);
            if (m_mapJaSolicitado.Le(key, jaSolicitado)) {
                if (__builtin_sub_overflow(necessario.int64, jaSolicitado.int64, &necessario.int64))
                    QV_CHECK(DISP_E_OVERFLOW);
                m_mapNecessario.Define(key, necessario);
            }
            if (necessario.int64 >= 1) lista.push_back(key);
        }
        QV_CHECK(zenta::AlocaArray(lista.size(), regCompras.pItens));
        regCompras.usQtdItens = static_cast<USHORT>(lista.size());
        for (std::size_t i = 0; i < lista.size(); ++i, fica()) {
            const QV_KEY_PRODUTO_SERVICO& key = lista[i];
            REG_CM_ITEM_SOLICITACAO_PS& itemCompras = regCompras.pItens[k];
            CY vQuantidade{};
            m_mapNecessario.Le(key, vQuantidade);
            itemCompras.cTipo = key.cTipo;
            if (key.cTipo == 'P')
                QV_CHECK_OK(AdicionaProduto(key, vQuantidade, regCompras, itemCompras));
            else
                QV_CHECK_OK(AdicionaServico(key, vQuantidade, regCompras, itemCompras));
        }
    }
    regCompras.usQtdItens = static_cast<USHORT>(k);
    // Nothing left to ask for: no request.
    if (k == 0) return S_OK;
    ULONGLONG rChaveOut = 0;
    QV_CHECK_OK(m_pSolicitacaoCompas->Integracao_Inclui(regCompras, &rChaveOut));
    m_chaveNova = rChaveOut;
    m_chaves.push_back(rChaveOut);
    return S_OK;
}

HRESULT CIntegracaoCompras::AdicionaProduto(std::size_t iIndexProduto, REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras) {
    const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS linha = m_arrProdutos[iIndexProduto];
    CQVDadosDF_Produto produto;
    QV_CHECK_OK(GetAcessoEmpresarial()->LeProduto(m_arrProdutos[iIndexProduto].lProduto, &produto));
    // The product is requested at the line's grid position.
    produto.usGrade1 = static_cast<USHORT>(linha.lGrade1 & 0xFFFFu);
    produto.usGrade2 = static_cast<USHORT>(linha.lGrade2 & 0xFFFFu);
    produto.usGrade3 = static_cast<USHORT>(linha.lGrade3 & 0xFFFFu);
    return PreencheProduto(produto, linha.vQuantidadeUtilizada, regCompras, itemCompras);
}

HRESULT CIntegracaoCompras::AdicionaProduto(const QV_KEY_PRODUTO_SERVICO& key, CY vQuantidade,
                                            REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras) {
    std::memset(static_cast<void*>(&itemCompras), 0, sizeof itemCompras);
    CQVDadosDF_Produto produto;
    QV_CHECK_OK(GetAcessoEmpresarial()->LeProduto(key.ulPonteiroProdutoServico, &produto));
    produto.usGrade1 = key.usGrade1;
    produto.usGrade2 = key.usGrade2;
    produto.usGrade3 = key.usGrade3;
    return PreencheProduto(produto, vQuantidade, regCompras, itemCompras);
}

HRESULT CIntegracaoCompras::PreencheProduto(const CQVDadosDF_Produto& produto, CY vQuantidade,
                                            const REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras) {
    itemCompras.cTipo = 'P';

    CQVKeyReposicaoProduto keyReposicao;
    keyReposicao.lProduto = produto.GetPonteiroProduto();
    keyReposicao.usGrade1 = produto.GetPonteiroGrade1();
    keyReposicao.usGrade2 = produto.GetPonteiroGrade2();
    keyReposicao.usGrade3 = produto.GetPonteiroGrade3();
    keyReposicao.usFilial = regCompras.usFilial;
    CQVDadosDF_ReposicaoProduto reposicoes;
    BOOL bAchou = FALSE;
    QV_CHECK_OK(GetAcessoEmpresarial()->LeReposicaoProduto(keyReposicao, &reposicoes, &bAchou));

    IQVES_Movimento* pIESMovimento = nullptr;
    QV_CHECK_OK(GetAcessoEstoque()->GetIESMovimento(pIESMovimento));
    if (pIESMovimento == nullptr) QV_CHECK(E_POINTER);
    REG_ES_KEY_SALDOS_PS RegKeySaldos;
    std::memset(&RegKeySaldos, 0, sizeof RegKeySaldos);
    RegKeySaldos.lProduto = keyReposicao.lProduto;
    RegKeySaldos.usGrade1 = keyReposicao.usGrade1;
    RegKeySaldos.usGrade2 = keyReposicao.usGrade2;
    RegKeySaldos.usGrade3 = keyReposicao.usGrade3;
    RegKeySaldos.usFilial = regCompras.usFilial;
    REG_ES_SALDOS_PS RegSaldos;
    const HRESULT hrSaldo = pIESMovimento->LeSaldo(RegKeySaldos, &RegSaldos);
    pIESMovimento->Release();
    if (hrSaldo != S_OK) {
        QV_LOG_HR(hrSaldo, "pIESMovimento->LeSaldo(RegKeySaldos, &RegSaldos)");
        return hrSaldo;
    }
    itemCompras.vSaldoEstoque = RegSaldos.vSaldo;

    CQVDadosDF_UnidadeMedidaProduto unidadeMedida;
    QV_CHECK_OK(GetAcessoEmpresarial()->LeUnidadeMedidaProduto(produto.GetPonteiroUnidadeMedidaEstoque(), &unidadeMedida));
    if (!zenta::ArredondaParaCima(vQuantidade, unidadeMedida.GetCasasDecimais(), itemCompras.vQuantidade))
        QV_CHECK(DISP_E_OVERFLOW);

    itemCompras.vPontoPedido = reposicoes.GetPontoPedidoReposicao();
    itemCompras.vEstoqueMinimo = reposicoes.GetEstoqueMinimo();
    itemCompras.lPonteiroProdutoServico = produto.GetPonteiroProduto();
    itemCompras.usGrade1 = produto.GetPonteiroGrade1();
    itemCompras.usGrade2 = produto.GetPonteiroGrade2();
    itemCompras.usGrade3 = produto.GetPonteiroGrade3();
    itemCompras.usUnidadeMedida = produto.GetPonteiroUnidadeMedidaEstoque();
    itemCompras.cReservado81 = 0;
    itemCompras.cReservado85 = 0;
    return S_OK;
}

HRESULT CIntegracaoCompras::AdicionaServico(std::size_t iIndexServico, REG_CM_SOLICITACAO_COMPRA_PS&,
                                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras) {
    itemCompras.cTipo = 'S';
    CQVDadosDF_Servico servico;
    QV_CHECK_OK(GetAcessoEmpresarial()->LeServico(m_arrServicos[iIndexServico].lServico, &servico));
    return PreencheServico(servico, m_arrServicos[iIndexServico].lServico,
                           m_arrServicos[iIndexServico].vQuantidadeUtilizada, itemCompras);
}

HRESULT CIntegracaoCompras::AdicionaServico(const QV_KEY_PRODUTO_SERVICO& key, CY vQuantidade,
                                            REG_CM_SOLICITACAO_COMPRA_PS&, REG_CM_ITEM_SOLICITACAO_PS& itemCompras) {
    CQVDadosDF_Servico servico;
    QV_CHECK_OK(GetAcessoEmpresarial()->LeServico(key.ulPonteiroProdutoServico, &servico));
    return PreencheServico(servico, key.ulPonteiroProdutoServico, vQuantidade, itemCompras);
}

HRESULT CIntegracaoCompras::PreencheServico(const CQVDadosDF_Servico& servico, ULONG lServico, CY vQuantidade,
                                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras) {
    CQVDadosDF_UnidadeMedidaServico uniMedidaServico;
    QV_CHECK_OK(GetAcessoEmpresarial()->LeUnidadeMedidaServico(servico.GetPonteiroUnidadeMedida(), &uniMedidaServico));
    if (!zenta::ArredondaParaCima(vQuantidade, uniMedidaServico.GetCasasDecimais(), itemCompras.vQuantidade))
        QV_CHECK(DISP_E_OVERFLOW);
    itemCompras.lPonteiroProdutoServico = lServico;
    itemCompras.usUnidadeMedida = servico.GetPonteiroUnidadeMedida();
    itemCompras.cReservado81 = 0;
    itemCompras.cReservado85 = 0;
    return S_OK;
}

void CIntegracaoCompras::LiberaItens(REG_CM_SOLICITACAO_COMPRA_PS& regCompras) {
    if (regCompras.pItens != nullptr) {
        for (USHORT i = 0; i < regCompras.usQtdItens; ++i) CoTaskMemFree(regCompras.pItens[i].pExtra);
        CoTaskMemFree(regCompras.pItens);
    }
    regCompras.pItens = nullptr;
    regCompras.usQtdItens = 0;
}

}  // namespace zenta
