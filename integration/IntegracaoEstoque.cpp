#include "integration/IntegracaoEstoque.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include <zenta/OleAuto.h>

#include "access/QVColecoes.h"
#include "access/QVDadosES.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVTextoFormatado.h"

namespace zenta {

namespace {

// The pre-withdrawal records of one product, in the order they were made.
using CRegPreBaixaProduto = CQVVector<REG_ES_PREBAIXAPS>;

// Buckets of the per-product table of one call.
constexpr std::size_t kBaldesProdutos = 59;

// Every list of the order whose count promises items must have them.
HRESULT VerificaListas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao) {
    const _REG_LISTA_MOVIMENTACAO_PRODUTO_PS& produtos = regMovimentacao.listaProdutos;
    if (produtos.lQtdProdutos == 0) return S_OK;
    if (produtos.pProdutos == nullptr) return E_POINTER;
    for (ULONG i = 0; i < produtos.lQtdProdutos; ++i) {
        const _REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS& locais = produtos.pProdutos[i].listaLocal;
        if (locais.lQtdEstoque != 0 && locais.pLocaisEstoque == nullptr) return E_POINTER;
    }
    return S_OK;
}

// Whether a location goes into an existing record of its product: the same
// grades, production type, pointers, unit value and imported-content flag.
bool Corresponde(const REG_ES_PREBAIXAPS& registro, const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha,
                 const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& local) {
    return static_cast<ULONG>(registro.usGrade1) == linha.lGrade1 &&
           static_cast<ULONG>(registro.usGrade2) == linha.lGrade2 &&
           static_cast<ULONG>(registro.usGrade3) == linha.lGrade3 &&
           registro.cTipoProducao == local.cTipoProducao &&
           registro.lPonteiroLote == local.lPonteiroLote && registro.lPonteiroForLote == local.lPonteiroForLote &&
           registro.lPonteiroVolume == local.lPonteiroVolume &&
           registro.lPonteiroForEPTETPE == local.lPonteiroForEPTETPE &&
           registro.lPonteiroCliEPTETPE == local.lPonteiroCliEPTETPE &&
           registro.lPonteiroControleFCI == local.lPonteiroControleFCI &&
           static_cast<ULONG>(registro.usLocal) == local.lPonteiroLocal &&
           registro.vPrecoUnitario.int64 == local.vPIUnitaria.int64 &&
           registro.cConteudoImportado == local.cConteudoImportado;
}

REG_ES_PREBAIXAPS NovoRegistro(const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha,
                               const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& local, LONGLONG quantidade) {
    REG_ES_PREBAIXAPS registro{};
    registro.lProduto = linha.lProduto;
    registro.usGrade1 = static_cast<USHORT>(linha.lGrade1);
    registro.usGrade2 = static_cast<USHORT>(linha.lGrade2);
    registro.usGrade3 = static_cast<USHORT>(linha.lGrade3);
    registro.vQuantidade.int64 = quantidade;
    registro.vPrecoUnitario = local.vPIUnitaria;
    registro.lPonteiroLote = local.lPonteiroLote;
    registro.lPonteiroForLote = local.lPonteiroForLote;
    registro.lPonteiroVolume = local.lPonteiroVolume;
    registro.lPonteiroForEPTETPE = local.lPonteiroForEPTETPE;
    registro.lPonteiroCliEPTETPE = local.lPonteiroCliEPTETPE;
    registro.lPonteiroControleFCI = local.lPonteiroControleFCI;
    registro.usLocal = static_cast<USHORT>(local.lPonteiroLocal);
    registro.cTipoProducao = local.cTipoProducao;
    registro.cConteudoImportado = local.cConteudoImportado;
    return registro;
}

// The stock record keeps grades and locations in 16 bits: a wider value
// would reserve another position or place.
constexpr ULONG kMaximo16Bits = 0xFFFFu;

HRESULT VerificaLargura(const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha, std::string& erro) {
    const ULONG grades[3] = {linha.lGrade1, linha.lGrade2, linha.lGrade3};
    for (int g = 0; g < 3; ++g) {
        if (grades[g] > kMaximo16Bits) {
            erro = zenta::TextoFormatado("Grade %lu do produto %lu acima de 65535: n\xE3o cabe na pr\xE9-baixa de estoque",
                         static_cast<unsigned long>(grades[g]), static_cast<unsigned long>(linha.lProduto));
            return E_INVALIDARG;
        }
    }
    for (ULONG j = 0; j < linha.listaLocal.lQtdEstoque; ++j) {
        const ULONG lLocal = linha.listaLocal.pLocaisEstoque[j].lPonteiroLocal;
        if (lLocal > kMaximo16Bits) {
            erro = zenta::TextoFormatado("Local de estoque %lu do produto %lu acima de 65535: n\xE3o cabe na pr\xE9-baixa de estoque",
                         static_cast<unsigned long>(lLocal), static_cast<unsigned long>(linha.lProduto));
            return E_INVALIDARG;
        }
    }
    return S_OK;
}

}  // namespace

CIntegracaoEstoque::~CIntegracaoEstoque() { Finaliza(); }

HRESULT CIntegracaoEstoque::GetAcessoEstoque(IQVAcessoEstoque*& pEstoque) {
    pEstoque = nullptr;
    CQVAcessoServidores acessos;
    QV_CHECK(GetAcessoServidores(acessos));
    if (acessos.pEstoque == nullptr) QV_CHECK(E_NOTIMPL);
    pEstoque = acessos.pEstoque;
    return S_OK;
}

HRESULT CIntegracaoEstoque::MontaPreBaixas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                           std::vector<REG_ES_PREBAIXAPS>& registros, std::string& erro) {
    registros.clear();
    erro.clear();
    QV_CHECK(VerificaListas(regMovimentacao));

    CQVMap<ULONG, CRegPreBaixaProduto> mapProdutos(kBaldesProdutos);
    const _REG_LISTA_MOVIMENTACAO_PRODUTO_PS& produtos = regMovimentacao.listaProdutos;
    for (ULONG i = 0; i < produtos.lQtdProdutos; ++i) {
        const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha = produtos.pProdutos[i];
        QV_CHECK(VerificaLargura(linha, erro));
        CRegPreBaixaProduto lista;
        if (auto it = mapProdutos.find(ULONG{linha.lProduto}); it != mapProdutos.end()) lista = it->second;

        // What the line still may reserve, and what each location takes of it.
        LONGLONG restante = std::max(LONGLONG{linha.vQuantidadePrevista.int64}, LONGLONG{0});  // packed: copies
        const _REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS& locais = linha.listaLocal;
        for (ULONG j = 0; j < locais.lQtdEstoque; ++j) {
            const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& local = locais.pLocaisEstoque[j];
            LONGLONG quantidade = local.vQuantidadeEs.int64;
            if (locais.lQtdEstoque == 1 && quantidade == 0) quantidade = restante;
            quantidade = std::clamp<LONGLONG>(quantidade, 0, restante);
            restante -= quantidade;
            if (quantidade == 0) continue;
            auto registro = std::find_if(lista.begin(), lista.end(),
                                         [&](const REG_ES_PREBAIXAPS& r) { return Corresponde(r, linha, local); });
            if (registro != lista.end()) {
                CY soma;
                CY parcela;
                parcela.int64 = quantidade;
                QV_CHECK(VarCyAdd(registro->vQuantidade, parcela, &soma));
                registro->vQuantidade = soma;
            } else {
                lista.push_back(NovoRegistro(linha, local, quantidade));
            }
        }
        mapProdutos[linha.lProduto] = std::move(lista);
    }
    for (const auto& [lProduto, lista] : mapProdutos) registros.insert(registros.end(), lista.begin(), lista.end());
    return S_OK;
}

HRESULT CIntegracaoEstoque::EfetuaBaixaNoEstoque(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                 REG_QVDMC rDMCMovimentacao) {
    std::vector<REG_ES_PREBAIXAPS> registros;
    std::string erro;
    QV_CHECK(MontaPreBaixas(regMovimentacao, registros, erro));
    CQVVector<CQVDadosES_PreBaixa> arrBaixas;
    for (const REG_ES_PREBAIXAPS& registro : registros) {
        CQVDadosES_PreBaixa dados;
        QV_CHECK(dados.CopiarDe(&registro));
        arrBaixas.push_back(dados);
    }
    if (arrBaixas.empty()) return S_OK;

    IQVAcessoEstoque* pEstoque = nullptr;
    QV_CHECK(GetAcessoEstoque(pEstoque));
    const HRESULT hr = pEstoque->GravaPreBaixa(rDMCMovimentacao, static_cast<USHORT>(regMovimentacao.lFilial), &arrBaixas);
    if (hr != S_OK) {
        QV_LOG_HR(hr, "GetAcessoEstoque()->GravaPreBaixa(rDMCMovimentacao, (USHORT) regMovimentacao.lFilial, &arrBaixas)");
        return hr;
    }
    return S_OK;
}

HRESULT CIntegracaoEstoque::LimparBaixaNoEstoque(REG_QVDMC dmcChave, LONG lFilial) {
    IQVAcessoEstoque* pEstoque = nullptr;
    QV_CHECK(GetAcessoEstoque(pEstoque));
    const HRESULT hr = pEstoque->ExcluiPreBaixa(
        REG_QVDMC().SetDMC(dmcChave.GetPonteiro(), REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, dmcChave.GetMa()),
        static_cast<USHORT>(lFilial));
    if (hr != S_OK) {
        QV_LOG_HR(hr, "GetAcessoEstoque()->ExcluiPreBaixa(REG_QVDMC().SetDMC(dmcChave.GetPonteiro(), "
                      "REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, dmcChave.GetMa()), (USHORT)lFilial)");
        return hr;
    }
    return S_OK;
}

}  // namespace zenta
