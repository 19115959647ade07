#include "integration/IntegracaoEstoque.h"

#include <algorithm>

#include <zenta/OleAuto.h>

#include "access/QVColecoes.h"
#include "access/QVDadosES.h"
#include "diagnostics/QVCheck.h"

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

// Whether a location goes into an existing record. The product and the
// grades are not compared; the record's 16-bit stock location is compared
// with the location's full pointer, so a pointer above 65535 never matches.
bool Corresponde(const REG_ES_PREBAIXAPS& registro, const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& local) {
    return registro.lPonteiroLote == local.lPonteiroLote && registro.lPonteiroForLote == local.lPonteiroForLote &&
           registro.lPonteiroVolume == local.lPonteiroVolume &&
           registro.lPonteiroForEPTETPE == local.lPonteiroForEPTETPE &&
           registro.lPonteiroCliEPTETPE == local.lPonteiroCliEPTETPE &&
           registro.lPonteiroControleFCI == local.lPonteiroControleFCI &&
           static_cast<ULONG>(registro.usLocal) == local.lPonteiroLocal &&
           registro.vPrecoUnitario.int64 == local.vPIUnitaria.int64 &&
           registro.cConteudoImportado == local.cConteudoImportado;
}

REG_ES_PREBAIXAPS NovoRegistro(const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha,
                               const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& local) {
    REG_ES_PREBAIXAPS registro{};
    registro.lProduto = linha.lProduto;
    registro.usGrade1 = static_cast<USHORT>(linha.lGrade1);
    registro.usGrade2 = static_cast<USHORT>(linha.lGrade2);
    registro.usGrade3 = static_cast<USHORT>(linha.lGrade3);
    registro.vQuantidade = linha.vQuantidadePrevista;
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

HRESULT CIntegracaoEstoque::EfetuaBaixaNoEstoque(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                 REG_QVDMC rDMCMovimentacao) {
    QV_CHECK(VerificaListas(regMovimentacao));

    CQVMap<ULONG, CRegPreBaixaProduto> mapProdutos(kBaldesProdutos);
    const _REG_LISTA_MOVIMENTACAO_PRODUTO_PS& produtos = regMovimentacao.listaProdutos;
    for (ULONG i = 0; i < produtos.lQtdProdutos; ++i) {
        const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha = produtos.pProdutos[i];
        CRegPreBaixaProduto lista;
        if (auto it = mapProdutos.find(linha.lProduto); it != mapProdutos.end()) lista = it->second;

        const _REG_LISTA_MOVIMENTACAO_LOCAL_PRODUTO_PS& locais = linha.listaLocal;
        for (ULONG j = 0; j < locais.lQtdEstoque; ++j) {
            const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& local = locais.pLocaisEstoque[j];
            auto registro = std::find_if(lista.begin(), lista.end(),
                                         [&](const REG_ES_PREBAIXAPS& r) { return Corresponde(r, local); });
            if (registro != lista.end()) {
                CY soma;
                QV_CHECK(VarCyAdd(registro->vQuantidade, local.vQuantidadeEs, &soma));
                registro->vQuantidade = soma;
            } else {
                lista.push_back(NovoRegistro(linha, local));
            }
        }
        mapProdutos[linha.lProduto] = std::move(lista);
    }

    CQVVector<CQVDadosES_PreBaixa> arrBaixas;
    for (const auto& [lProduto, lista] : mapProdutos) {
        for (const REG_ES_PREBAIXAPS& registro : lista) {
            CQVDadosES_PreBaixa dados;
            QV_CHECK(dados.CopiarDe(&registro));
            arrBaixas.push_back(dados);
        }
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
