#include "schema/QVDataBase_GE_ManutencaoPreventiva.h"

#include <algorithm>
#include <array>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBaseUtil.h"
#include "diagnostics/QVCheck.h"
#include "records/QVCamposRegistro.h"
#include "values/QVCrc64.h"

namespace zenta {

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
constexpr const LigacaoPonteiroGE& kPlanoMedidor = LIGACOES_PONTEIRO_GE[0];
constexpr const LigacaoPonteiroGE& kManutencaoFrequencia = LIGACOES_PONTEIRO_GE[1];

constexpr bool Liga(const LigacaoFilhosGE& l, std::string_view pai, std::string_view filho) {
    return l.sArquivoPai == pai && l.sArquivoFilho == filho;
}
static_assert(Liga(kPlanoClientes, NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, NOME_ARQUIVO_MANUTENCAO_CLIENTE));
static_assert(Liga(kPlanoManutencoes, NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO));
static_assert(Liga(kManutencaoServicos, NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, NOME_ARQUIVO_MANUTENCAO_SERVICO));
static_assert(Liga(kManutencaoProdutos, NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, NOME_ARQUIVO_MANUTENCAO_PRODUTO));
static_assert(Liga(kProdutoLocais, NOME_ARQUIVO_MANUTENCAO_PRODUTO, NOME_ARQUIVO_MANUTENCAO_LOCAL_PRODUTO));
static_assert(kPlanoMedidor.sArquivoPai == NOME_ARQUIVO_MANUTENCAO_PREVENTIVA &&
              kPlanoMedidor.sArquivoFilho == NOME_ARQUIVO_MEDIDORES);
static_assert(kManutencaoFrequencia.sArquivoPai == NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO &&
              kManutencaoFrequencia.sArquivoFilho == NOME_ARQUIVO_MANUTENCAO_FREQUENCIA);
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
      m_MovManutPrevTXT(NOME_ARQUIVO_MOV_MANUT_PREV_TXT, this) {
    // The group has no member yet: the definition cannot meet a refused key,
    // and the group keeps it for every member it loads or creates. It is
    // kept across members too: a maintenance's orders are looked up in the
    // months that hold one, not in every month of the company's history.
    const HRESULT hr = m_MovManutPrev.IncluiIndex(
        [](const REG_MOVIMENTACAO_MANUT_PREV_V1& reg, UINT) -> ULONGLONG { return reg.lCodigoManutencao; },
        INDICE_ORDEM_CODIGO_MANUTENCAO, true, true, true);
    if (FAILED(hr)) QV_LOG_HR(hr, "m_MovManutPrev.IncluiIndex(...)");
}

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
    // The meters and frequencies the plans and maintenances left behind:
    // the maintenances first compacted against their plans, the frequencies
    // against the maintenances before their remarks against them.
    QV_CHECK(ShrinkSingleFile(m_ManutencaoPreventiva, m_Medidores, kPlanoMedidor.campo.offset));
    QV_CHECK(ShrinkSingleFile(m_ManutencaoEquipamento, m_ManutencaoFrequencia, kManutencaoFrequencia.campo.offset));
    QV_CHECK(ShrinkSingleText(m_ManutencaoFrequencia, m_ManutencaoFrequenciaTXT, kFrequenciaObservacao.campo.offset));
    return S_OK;
}

HRESULT CQVDataBase_GE_ManutencaoPreventiva::OnInicializa() {
    // The company is this process's before anything on disk is looked at.
    QV_CHECK(CQVDataBaseUtil::TravaUsoDados(GetModulo(), GetEmpresa(), m_travaUso));
    // The compactions work on the files on disk before the members load them.
    HRESULT hr = CompactaArquivos();
    if (FAILED(hr)) QV_LOG_HR(hr, "CompactaArquivos()");
    if (SUCCEEDED(hr)) {
        hr = CQVDataBase::OnInicializa();
        if (FAILED(hr)) {
            FechaArquivosSemAtualizar();
            QV_LOG_HR(hr, "CQVDataBase::OnInicializa()");
        }
    }
    if (SUCCEEDED(hr)) {
        hr = IndexaIdentificacoes();
        if (FAILED(hr)) QV_LOG_HR(hr, "IndexaIdentificacoes()");
    }
    if (FAILED(hr)) {
        // A database that did not start is not finalised: the lock goes now.
        m_travaUso.reset();
        return hr;
    }
    return S_OK;
}

HRESULT CQVDataBase_GE_ManutencaoPreventiva::IndexaIdentificacoes() {
    std::lock_guard trava(m_travaIndices);
    // Zero and repeated keys are allowed: registering never fails on the records.
    if (m_MedicaoAtual.GetQtdIndices() == 0)
        QV_CHECK(m_MedicaoAtual.IncluiIndex(
            [](const REG_CADASTRO_MEDICAO_ATUAL_V1& reg, UINT) -> ULONGLONG { return ChaveIdentificacaoMedicao(reg); },
            INDICE_MEDICAO_IDENTIFICACAO, true, true));
    if (m_ManutencaoPreventiva.GetQtdIndices() == 0)
        QV_CHECK(m_ManutencaoPreventiva.IncluiIndex(
            [](const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& reg, UINT) -> ULONGLONG {
                return ChaveIdentificacaoMedicao(reg);
            },
            INDICE_PLANO_IDENTIFICACAO, true, true));
    return S_OK;
}

HRESULT CQVDataBase_GE_ManutencaoPreventiva::OnFinaliza() {
    const HRESULT hr = CQVDataBase::OnFinaliza();
    m_travaUso.reset();
    return hr;
}

ULONGLONG ChaveIdentificacaoMedicao(ULONG lEquipamento, ULONG lProduto, ULONG lMarca, ULONG lModelo, ULONG lTipo,
                                    ULONG lGrade1, ULONG lGrade2, ULONG lGrade3, std::string_view sNrSerie) {
    // Codes, then the serial in capitals; the serial of a stored reading
    // holds at most 51 bytes, a longer one is cut to what fits here and the
    // lookup's comparison tells them apart.
    std::array<unsigned char, 8 * 4 + 64> bytes{};
    std::size_t n = 0;
    for (const ULONG codigo : {lEquipamento, lProduto, lMarca, lModelo, lTipo, lGrade1, lGrade2, lGrade3})
        for (int b = 0; b < 4; ++b) bytes[n++] = static_cast<unsigned char>((codigo >> (8 * b)) & 0xFFu);
    const std::size_t tamanho = std::min<std::size_t>(sNrSerie.size(), bytes.size() - n);
    for (std::size_t i = 0; i < tamanho; ++i) bytes[n++] = MaiusculaCp1252(static_cast<unsigned char>(sNrSerie[i]));
    return QVCrc64(bytes.data(), n);
}

}  // namespace zenta
