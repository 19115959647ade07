// Purchase requests of a maintenance order: the order's product and service
// lines flagged for purchase become one request in the ERP's purchasing
// module, and the keys of the order's requests come back to be kept with
// the order. On every later save the earlier requests are replaced: those
// purchasing still lets change are deleted, those it took over stay and
// what they already ask for is taken off the new request.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/IQVCM_SolicitacaoCompra.h"
#include "access/QVAcessoServidores.h"
#include "access/QVBaseParaRotinas.h"
#include "access/QVComPtr.h"

namespace zenta {

#pragma pack(push, 1)
// A product position or a service, as requests are summed (16 bytes; the
// last five bytes are zero so that equal keys are equal bytes).
struct QV_KEY_PRODUTO_SERVICO {
    ULONG ulPonteiroProdutoServico;
    USHORT usGrade1;
    USHORT usGrade2;
    USHORT usGrade3;
    char cTipo;  // 'P' product, 'S' service
    BYTE cZeros[5];
};
#pragma pack(pop)
static_assert(sizeof(QV_KEY_PRODUTO_SERVICO) == 16);
static_assert(offsetof(QV_KEY_PRODUTO_SERVICO, usGrade1) == 4);
static_assert(offsetof(QV_KEY_PRODUTO_SERVICO, usGrade2) == 6);
static_assert(offsetof(QV_KEY_PRODUTO_SERVICO, usGrade3) == 8);
static_assert(offsetof(QV_KEY_PRODUTO_SERVICO, cTipo) == 10);

// Decimals of a quantity in a unit with the ERP's decimal-places code: 0
// gives 0, 1 gives 2, 2 gives 4, any other code 0.
int CasasDoCodigoUnidade(USHORT codigo);

// A quantity rounded up to the decimals of a unit with the ERP's
// decimal-places code: what is needed is always at least what is asked for
// (0.6 of a whole unit is 1). False when the result leaves the currency range.
bool ArredondaParaCima(CY quantidade, USHORT codigoCasas, CY& arredondada);

// Quantities per product position or service, listed in the order their
// keys first came.
class QuantidadesPorItem {
public:
    // Adds `quantidade` to the key's entry (an absent entry counts as 0);
    // false, with the entry unchanged, when the sum leaves the currency range.
    bool Soma(const QV_KEY_PRODUTO_SERVICO& key, CY quantidade);
    bool Le(const QV_KEY_PRODUTO_SERVICO& key, CY& quantidade) const;
    void Define(const QV_KEY_PRODUTO_SERVICO& key, CY quantidade);
    const std::vector<QV_KEY_PRODUTO_SERVICO>& Chaves() const { return m_chaves; }
    void Limpa();

private:
    struct Hash {
        std::size_t operator()(const QV_KEY_PRODUTO_SERVICO& k) const noexcept;
    };
    struct Iguais {
        bool operator()(const QV_KEY_PRODUTO_SERVICO& a, const QV_KEY_PRODUTO_SERVICO& b) const noexcept;
    };
    std::vector<QV_KEY_PRODUTO_SERVICO> m_chaves;
    std::unordered_map<QV_KEY_PRODUTO_SERVICO, LONGLONG, Hash, Iguais> m_quantidades{17};
};

class CIntegracaoCompras : public CQVBaseParaRotinas {
public:
    CIntegracaoCompras() = default;
    ~CIntegracaoCompras() override;
    CIntegracaoCompras(const CIntegracaoCompras&) = delete;
    CIntegracaoCompras& operator=(const CIntegracaoCompras&) = delete;

    // Checks, changing nothing anywhere, what asking for the order's lines
    // flagged for purchase (bGerarSolicitacaoCompras 1) needs: each product
    // with its stock unit, each service with its unit, and grades that fit
    // 16 bits. A failure gives the read's code (E_INVALIDARG for a grade)
    // and `erro` names the product or service (Windows-1252). A cancelled
    // order asks for nothing and passes.
    HRESULT VerificaLinhas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg, std::string& erro);

    // Replacing the order's requests, in two steps so that a save failing
    // in between leaves purchasing as it was:
    // PreparaSolicitacao sends the new request, for the flagged lines'
    // quantities less what the requests purchasing took over already ask
    // for, each rounded up to its unit, without items of 0 (no request at
    // all when nothing is left to ask for); the order's earlier requests
    // stay. A cancelled order asks for nothing.
    HRESULT PreparaSolicitacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    // Deletes the order's earlier requests that purchasing still lets
    // change. A deletion that fails stops here; the request stays named by
    // Chaves().
    HRESULT ConcluiSolicitacao();
    // Deletes the request PreparaSolicitacao sent (the undo of a save that
    // failed after it).
    HRESULT DesfazSolicitacao();
    // The keys of the order's requests that exist now, in the order's order
    // followed by the new one: what the order must name.
    const std::vector<ULONGLONG>& Chaves() const { return m_chaves; }
    // The keys the order will name once ConcluiSolicitacao has deleted what
    // it should: the requests purchasing took over, then the new one.
    std::vector<ULONGLONG> ChavesPrevistas() const;

    // Both steps at once; a failing deletion undoes the new request.
    // `solicitacoes` receives Chaves() on every path.
    HRESULT FazSolicitacaoCompra(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg, std::vector<ULONGLONG>& solicitacoes);

protected:
    HRESULT OnFinaliza() override;

private:
    HRESULT InicializaServidores();
    HRESULT CarregaListaSolicitacoesCompras(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    HRESULT InicializaAcessos();
    HRESULT PodeRefazerSolicitacoes(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    HRESULT ExcluiChave(ULONGLONG chave);
    HRESULT AdicionaItensJaSolicitados(const REG_CM_SOLICITACAO_COMPRA_PS& solicitacaoCompras);
    HRESULT GeraSolicitacao(REG_CM_SOLICITACAO_COMPRA_PS& regCompras, const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    HRESULT AdicionaProduto(std::size_t iIndexProduto, REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras);
    HRESULT AdicionaProduto(const QV_KEY_PRODUTO_SERVICO& key, CY vQuantidade, REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras);
    HRESULT AdicionaServico(std::size_t iIndexServico, REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras);
    HRESULT AdicionaServico(const QV_KEY_PRODUTO_SERVICO& key, CY vQuantidade, REG_CM_SOLICITACAO_COMPRA_PS& regCompras,
                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras);
    // The product's part of an item: balance, reposition data, unit and the
    // quantity rounded to the unit's decimals.
    HRESULT PreencheProduto(const CQVDadosDF_Produto& produto, CY vQuantidade,
                            const REG_CM_SOLICITACAO_COMPRA_PS& regCompras, REG_CM_ITEM_SOLICITACAO_PS& itemCompras);
    HRESULT PreencheServico(const CQVDadosDF_Servico& servico, ULONG lServico, CY vQuantidade,
                            REG_CM_ITEM_SOLICITACAO_PS& itemCompras);
    void LiberaItens(REG_CM_SOLICITACAO_COMPRA_PS& regCompras);

    IQVAcessoEmpresarial* GetAcessoEmpresarial() const { return m_acessos.pEmpresarial; }
    IQVAcessoEstoque* GetAcessoEstoque() const { return m_acessos.pEstoque; }

    CQVComPtr<IQVCM_SolicitacaoCompra> m_pSolicitacaoCompas;
    std::vector<_REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS> m_arrProdutos;
    std::vector<_REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS> m_arrServicos;
    std::vector<ULONGLONG> m_arrSolicitacoesInalteraveis;
    REG_CM_LISTA_SOLICITACAO_PS m_ListaSolicitacoesFeitas{};
    zenta::QuantidadesPorItem m_mapNecessario;
    zenta::QuantidadesPorItem m_mapJaSolicitado;
    bool m_bServidoresInicializados = false;
    CQVAcessoServidores m_acessos;
    // The order's request keys as they stand while the steps run, the keys
    // it came with, and the request sent now (0: none).
    std::vector<ULONGLONG> m_chaves;
    std::vector<ULONGLONG> m_chavesAnteriores;
    ULONGLONG m_chaveNova = 0;
    bool m_bPreparada = false;
};

}  // namespace zenta
