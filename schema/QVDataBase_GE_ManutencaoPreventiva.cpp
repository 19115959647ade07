#include "schema/QVDataBase_GE_ManutencaoPreventiva.h"

#include "access/QVModulos.h"
#include "diagnostics/QVCheck.h"

namespace {

using namespace zenta;

// The link tables are what the compactions below follow; their files are the
// members the compactions are given.
constexpr const LigacaoFilhosGE& kPlanoClientes = LIGACOES_CADASTRO_GE[0];
constexpr const LigacaoFilhosGE& kPlanoManutencoes = LIGACOES_CADASTRO_GE[1];
constexpr const LigacaoFilhosGE& kManutencaoServicos = LIGACOES_CADASTRO_GE[2];
constexpr const LigacaoFilhosGE& kManutencaoProdutos = LIGACOES_CADASTRO_GE[3];
constexpr const LigacaoFilhosGE& kProdutoLocais = LIGACOES_CADASTRO_GE[4];
constexpr const LigacaoTextoGE& kFrequenciaObservacao = LIGACOES_TEXTO_GE[0];

constexpr bool Liga(const LigacaoFilhosGE& l, std::string_view pai, std::string_view filho) {
    return l.sArquivoPai == pai && l.sArquivoFilho == filho;
}
static_assert(Liga(kPlanoClientes, NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, NOME_ARQUIVO_MANUTENCAO_CLIENTE));
static_assert(Liga(kPlanoManutencoes, NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO));
static_assert(Liga(kManutencaoServicos, NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, NOME_ARQUIVO_MANUTENCAO_SERVICO));
static_assert(Liga(kManutencaoProdutos, NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, NOME_ARQUIVO_MANUTENCAO_PRODUTO));
static_assert(Liga(kProdutoLocais, NOME_ARQUIVO_MANUTENCAO_PRODUTO, NOME_ARQUIVO_MANUTENCAO_LOCAL_PRODUTO));
static_assert(kFrequenciaObservacao.sArquivoPai == NOME_ARQUIVO_MANUTENCAO_FREQUENCIA &&
              kFrequenciaObservacao.sArquivoTexto == NOME_ARQUIVO_MANUTENCAO_FREQUENCIA_TXT &&
              kFrequenciaObservacao.bCompactadoNaInicializacao);
// The text link compacted at start-up is the only one.
static_assert(!LIGACOES_TEXTO_GE[1].bCompactadoNaInicializacao && !LIGACOES_TEXTO_GE[2].bCompactadoNaInicializacao);

}  // namespace

CQVDataBase_GE_ManutencaoPreventiva::CQVDataBase_GE_ManutencaoPreventiva()
    : CQVDataBase(QV_MODULO_GE),
      m_ManutencaoPreventiva(NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, this),
      m_ManutencaoCliente(NOME_ARQUIVO_MANUTENCAO_CLIENTE, this),
      m_ManutencaoEquipamento(NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, this),
      m_ManutencaoFrequencia(NOME_ARQUIVO_MANUTENCAO_FREQUENCIA, this),
      m_ManutencaoServico(NOME_ARQUIVO_MANUTENCAO_SERVICO, this),
      m_ManutencaoProduto(NOME_ARQUIVO_MANUTENCAO_PRODUTO, this),
      m_ManutencaoLocalProduto(NOME_ARQUIVO_MANUTENCAO_LOCAL_PRODUTO, this),
      m_MedicaoAtual(NOME_ARQUIVO_MEDICAO_ATUAL, this),
      m_Medidores(NOME_ARQUIVO_MEDIDORES, this),
      m_RelacionamentoMovOS(NOME_ARQUIVO_RELACIONAMENTO_MOV_OS, this),
      m_MovimentacoesDia(NOME_ARQUIVO_MOVIMENTACOES_DIA, this),
      m_ManutencaoPropriedades(NOME_ARQUIVO_MANUTENCAO_PROPRIEDADES, this),
      m_MovimentacaoPropriedades(NOME_ARQUIVO_MOVIMENTACAO_PROPRIEDADES, this),
      m_HistoricoMedicoes(NOME_ARQUIVO_HISTORICO_MEDICOES, this),
      m_MovManutPrev(NOME_ARQUIVO_MOV_MANUT_PREV, this),
      m_MovProdutoManutPrev(NOME_ARQUIVO_MOV_PRODUTO_MANUT_PREV, this),
      m_MovLocalProduto(NOME_ARQUIVO_MOV_LOCAL_PRODUTO, this),
      m_MovServicoManutPrev(NOME_ARQUIVO_MOV_SERVICO_MANUT_PREV, this),
      m_MovIntegracaoCompras(NOME_ARQUIVO_MOV_INTEGRACAO_COMPRAS, this),
      m_ManutencaoFrequenciaTXT(NOME_ARQUIVO_MANUTENCAO_FREQUENCIA_TXT, this),
      m_MovManutPrevTXT(NOME_ARQUIVO_MOV_MANUT_PREV_TXT, this) {}

// The members leave the registry as they are destroyed; a database still
// initialised is finalised first, while every member still exists.
CQVDataBase_GE_ManutencaoPreventiva::~CQVDataBase_GE_ManutencaoPreventiva() { Finaliza(); }

HRESULT CQVDataBase_GE_ManutencaoPreventiva::CompactaArquivos() {
    QV_CHECK(ShrinkFile(m_ManutencaoPreventiva, m_ManutencaoCliente, kPlanoClientes.campoPrimeiro.offset,
                        kPlanoClientes.campoQtd.offset));
    QV_CHECK(ShrinkFile(m_ManutencaoPreventiva, m_ManutencaoEquipamento, kPlanoManutencoes.campoPrimeiro.offset,
                        kPlanoManutencoes.campoQtd.offset));
    QV_CHECK(ShrinkFile(m_ManutencaoEquipamento, m_ManutencaoServico, kManutencaoServicos.campoPrimeiro.offset,
                        kManutencaoServicos.campoQtd.offset));
    QV_CHECK(ShrinkFile(m_ManutencaoEquipamento, m_ManutencaoProduto, kManutencaoProdutos.campoPrimeiro.offset,
                        kManutencaoProdutos.campoQtd.offset));
    QV_CHECK(ShrinkFile(m_ManutencaoProduto, m_ManutencaoLocalProduto, kProdutoLocais.campoPrimeiro.offset,
                        kProdutoLocais.campoQtd.offset));
    QV_CHECK(ShrinkSingleText(m_ManutencaoFrequencia, m_ManutencaoFrequenciaTXT, kFrequenciaObservacao.campo.offset));
    return S_OK;
}

HRESULT CQVDataBase_GE_ManutencaoPreventiva::OnInicializa() {
    // The compactions work on the files on disk before the members load them.
    QV_CHECK(CompactaArquivos());
    const HRESULT hr = CQVDataBase::OnInicializa();
    if (FAILED(hr)) {
        FechaArquivosSemAtualizar();
        QV_LOG_HR(hr, "CQVDataBase::OnInicializa()");
        return hr;
    }
    return S_OK;
}

HRESULT CQVDataBase_GE_ManutencaoPreventiva::OnFinaliza() { return CQVDataBase::OnFinaliza(); }

void CQVDataBase_GE_ManutencaoPreventiva::FechaArquivosSemAtualizar() {
    for (IQVFileBase* pFile : GetFiles()) {
        if (auto* pArquivo = dynamic_cast<CQVFileBase*>(pFile)) pArquivo->FechaArquivo();
        else if (auto* pGrupo = dynamic_cast<zenta::IQVGrupoLiberavel*>(pFile)) pGrupo->FechaMembrosSemAtualizar();
    }
}
