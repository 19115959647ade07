// Purchase requests of a maintenance order: the order's product and service
// lines flagged for purchase become one request in the ERP's purchasing
// module, and the keys of the order's requests come back to be kept with
// the order. On every later save the earlier requests are replaced: those
// purchasing still lets change are deleted, those it took over stay and
// what they already ask for is taken off the new request.
#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/IQVCM_SolicitacaoCompra.h"
#include "access/QVAcessoServidores.h"
#include "access/QVBaseParaRotinas.h"
#include "access/QVComPtr.h"

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

namespace zenta {

// Decimals of a quantity in a unit with the ERP's decimal-places code: 0
// gives 0, 1 gives 2, 2 gives 4, any other code 0.
int CasasDoCodigoUnidade(USHORT codigo);

// Quantities per product position or service, listed in the order their
// keys first came.
class QuantidadesPorItem {
public:
    // Adds `quantidade` to the key's entry (an absent entry counts as 0).
    void Soma(const QV_KEY_PRODUTO_SERVICO& key, CY quantidade);
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

}  // namespace zenta

class CIntegracaoCompras : public CQVBaseParaRotinas {
public:
    CIntegracaoCompras() = default;
    ~CIntegracaoCompras() override;
    CIntegracaoCompras(const CIntegracaoCompras&) = delete;
    CIntegracaoCompras& operator=(const CIntegracaoCompras&) = delete;

    // Replaces the order's purchase requests by one for its lines whose
    // bGerarSolicitacaoCompras is 1. `solicitacoes` receives the keys the
    // order holds afterwards: the requests purchasing took over and the new
    // one. It always names exactly the order's requests that still exist,
    // also when a step fails part-way (a failure before anything was
    // deleted leaves the order's keys as they were). A cancelled order keeps
    // its requests untouched.
    HRESULT FazSolicitacaoCompra(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg, std::vector<ULONGLONG>& solicitacoes);

protected:
    HRESULT OnFinaliza() override;

private:
    HRESULT InicializaServidores();
    HRESULT CarregaListaSolicitacoesCompras(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    HRESULT ExcluiSolicitacao(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    HRESULT PodeRefazerSolicitacoes(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    HRESULT ExcluiSolicitacoesPossiveis(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
    HRESULT ExcluiTodasSolicitacoes(const _REG_MOVIMENTACAO_MANUT_PREV_PS& Reg);
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
    // The order's request keys as they stand while the steps run.
    std::vector<ULONGLONG> m_chaves;
};
