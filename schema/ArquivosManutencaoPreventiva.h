// The files of the preventive-maintenance module's database as data: each
// file's name, kind and record type, and the links between them (which field
// of a parent record points at which file, as a run of children or as a text
// position). The module's database builds its members from these names, the
// start-up compaction follows the registration links in the order given here,
// and checking tools walk the links over raw records by offset.
//
// All files live in the company's data directory of the module (module 9).
// A group file's name is a pattern: its run of six '?' stands for the
// month/year key of a member (month * 10,000 + year, zero-padded: July 2022
// is GEMOVMANUT072022.dat).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "schema/RegistrosManutencaoPreventiva.h"

namespace zenta {

// ---- File names ----------------------------------------------------------------

// Typed record files.
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_PREVENTIVA = "GEMPCADMANPREV.dat";
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_CLIENTE = "GEMPCADMACLI.dat";
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO = "GEMPCADMA.dat";
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_FREQUENCIA = "GEMPCADMAFR.dat";
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_SERVICO = "GEMPCADMASR.dat";
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_PRODUTO = "GEMPCADMAPR.dat";
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_LOCAL_PRODUTO = "GEMPCADMALEPR.dat";
inline constexpr std::string_view NOME_ARQUIVO_MEDICAO_ATUAL = "GEMPMED.dat";
inline constexpr std::string_view NOME_ARQUIVO_MEDIDORES = "GEMPMEDIDOR.dat";
inline constexpr std::string_view NOME_ARQUIVO_RELACIONAMENTO_MOV_OS = "GEMPRELMOVOS.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOVIMENTACOES_DIA = "GEMOVDIA.dat";
// Single-record files.
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_PROPRIEDADES = "GEMPCADPROP.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOVIMENTACAO_PROPRIEDADES = "GEMPMOVPROP.dat";
// Group files (patterns).
inline constexpr std::string_view NOME_ARQUIVO_HISTORICO_MEDICOES = "GEMPCADHISME??????.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOV_MANUT_PREV = "GEMOVMANUT??????.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOV_PRODUTO_MANUT_PREV = "GEMOVPROMANUT??????.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOV_LOCAL_PRODUTO = "GEMOVLEPROD??????.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOV_SERVICO_MANUT_PREV = "GEMOVSERMANUT??????.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOV_INTEGRACAO_COMPRAS = "GEMOVICM??????.dat";
// Text files.
inline constexpr std::string_view NOME_ARQUIVO_MANUTENCAO_FREQUENCIA_TXT = "GEMPCADMAFRTXT.dat";
inline constexpr std::string_view NOME_ARQUIVO_MOV_MANUT_PREV_TXT = "GEMOVMANUTTXT.dat";

// The version file: one REG_GE_MANUTENCAO_PREVENTIVA_VERSAO, read outside the
// database by the data-conversion step of start-up; not a member.
inline constexpr std::string_view NOME_ARQUIVO_VERSAO_MANUTENCAO_PREVENTIVA = "GEMANUTENCAOPREVENTIVAVS.dat";

// ---- Members -------------------------------------------------------------------

// What kind of file object a member is.
enum class ETipoArquivoGE : int {
    eArquivoTipado,         // CQVFile<T>: records back to back
    eArquivoRegistroUnico,  // CQVFileSingleReg<T>: one record
    eArquivoGrupo,          // CQVGroupFile<T>: one member file per month/year key
    eArquivoTexto,          // CQVTextFile: texts of any length
};

struct DescricaoArquivoGE {
    std::string_view sMembro;        // member of the module's database
    ETipoArquivoGE eTipo;
    std::string_view sTipoRegistro;  // record type as written in the source; empty for texts
    std::size_t tamanhoRegistro;     // sizeof the record type; 0 for texts
    std::string_view sNomeArquivo;
};

namespace detalhe_arquivos_ge {
template <class T>
constexpr DescricaoArquivoGE Descreve(std::string_view sMembro, ETipoArquivoGE eTipo, std::string_view sTipoRegistro,
                                      std::string_view sNomeArquivo) {
    return {sMembro, eTipo, sTipoRegistro, sizeof(T), sNomeArquivo};
}
constexpr DescricaoArquivoGE DescreveTexto(std::string_view sMembro, std::string_view sNomeArquivo) {
    return {sMembro, ETipoArquivoGE::eArquivoTexto, {}, 0, sNomeArquivo};
}
}  // namespace detalhe_arquivos_ge

inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_PREVENTIVA =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1>(
        "m_ManutencaoPreventiva", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1",
        NOME_ARQUIVO_MANUTENCAO_PREVENTIVA);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_CLIENTE =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_MANUTENCAO_CLIENTE_V1>(
        "m_ManutencaoCliente", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MANUTENCAO_CLIENTE_V1",
        NOME_ARQUIVO_MANUTENCAO_CLIENTE);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_EQUIPAMENTO =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1>(
        "m_ManutencaoEquipamento", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1",
        NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_FREQUENCIA =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1>(
        "m_ManutencaoFrequencia", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1",
        NOME_ARQUIVO_MANUTENCAO_FREQUENCIA);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_SERVICO =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_MANUTENCAO_SERVICO_V1>(
        "m_ManutencaoServico", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MANUTENCAO_SERVICO_V1",
        NOME_ARQUIVO_MANUTENCAO_SERVICO);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_PRODUTO =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_MANUTENCAO_PRODUTO_V1>(
        "m_ManutencaoProduto", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MANUTENCAO_PRODUTO_V1",
        NOME_ARQUIVO_MANUTENCAO_PRODUTO);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_LOCAL_PRODUTO =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1>(
        "m_ManutencaoLocalProduto", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1",
        NOME_ARQUIVO_MANUTENCAO_LOCAL_PRODUTO);
inline constexpr DescricaoArquivoGE ARQUIVO_MEDICAO_ATUAL = detalhe_arquivos_ge::Descreve<REG_CADASTRO_MEDICAO_ATUAL_V1>(
    "m_MedicaoAtual", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MEDICAO_ATUAL_V1", NOME_ARQUIVO_MEDICAO_ATUAL);
inline constexpr DescricaoArquivoGE ARQUIVO_MEDIDORES = detalhe_arquivos_ge::Descreve<REG_CADASTRO_MEDIDORES_V1>(
    "m_Medidores", ETipoArquivoGE::eArquivoTipado, "REG_CADASTRO_MEDIDORES_V1", NOME_ARQUIVO_MEDIDORES);
inline constexpr DescricaoArquivoGE ARQUIVO_RELACIONAMENTO_MOV_OS =
    detalhe_arquivos_ge::Descreve<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1>(
        "m_RelacionamentoMovOS", ETipoArquivoGE::eArquivoTipado, "REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1",
        NOME_ARQUIVO_RELACIONAMENTO_MOV_OS);
inline constexpr DescricaoArquivoGE ARQUIVO_MOVIMENTACOES_DIA = detalhe_arquivos_ge::Descreve<REG_MOVIMENTACOES_DIARIAS_V1>(
    "m_MovimentacoesDia", ETipoArquivoGE::eArquivoTipado, "REG_MOVIMENTACOES_DIARIAS_V1", NOME_ARQUIVO_MOVIMENTACOES_DIA);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_PROPRIEDADES =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_PROPRIEDADES_V1>(
        "m_ManutencaoPropriedades", ETipoArquivoGE::eArquivoRegistroUnico, "REG_CADASTRO_PROPRIEDADES_V1",
        NOME_ARQUIVO_MANUTENCAO_PROPRIEDADES);
inline constexpr DescricaoArquivoGE ARQUIVO_MOVIMENTACAO_PROPRIEDADES =
    detalhe_arquivos_ge::Descreve<REG_MOVIMENTACAO_PROPRIEDADES_V1>(
        "m_MovimentacaoPropriedades", ETipoArquivoGE::eArquivoRegistroUnico, "REG_MOVIMENTACAO_PROPRIEDADES_V1",
        NOME_ARQUIVO_MOVIMENTACAO_PROPRIEDADES);
inline constexpr DescricaoArquivoGE ARQUIVO_HISTORICO_MEDICOES =
    detalhe_arquivos_ge::Descreve<REG_CADASTRO_HISTORICO_MEDICOES_V1>(
        "m_HistoricoMedicoes", ETipoArquivoGE::eArquivoGrupo, "REG_CADASTRO_HISTORICO_MEDICOES_V1",
        NOME_ARQUIVO_HISTORICO_MEDICOES);
inline constexpr DescricaoArquivoGE ARQUIVO_MOV_MANUT_PREV = detalhe_arquivos_ge::Descreve<REG_MOVIMENTACAO_MANUT_PREV_V1>(
    "m_MovManutPrev", ETipoArquivoGE::eArquivoGrupo, "REG_MOVIMENTACAO_MANUT_PREV_V1", NOME_ARQUIVO_MOV_MANUT_PREV);
inline constexpr DescricaoArquivoGE ARQUIVO_MOV_PRODUTO_MANUT_PREV =
    detalhe_arquivos_ge::Descreve<REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1>(
        "m_MovProdutoManutPrev", ETipoArquivoGE::eArquivoGrupo, "REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1",
        NOME_ARQUIVO_MOV_PRODUTO_MANUT_PREV);
inline constexpr DescricaoArquivoGE ARQUIVO_MOV_LOCAL_PRODUTO =
    detalhe_arquivos_ge::Descreve<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1>(
        "m_MovLocalProduto", ETipoArquivoGE::eArquivoGrupo, "REG_MOVIMENTACAO_LOCAL_PRODUTO_V1",
        NOME_ARQUIVO_MOV_LOCAL_PRODUTO);
inline constexpr DescricaoArquivoGE ARQUIVO_MOV_SERVICO_MANUT_PREV =
    detalhe_arquivos_ge::Descreve<REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1>(
        "m_MovServicoManutPrev", ETipoArquivoGE::eArquivoGrupo, "REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1",
        NOME_ARQUIVO_MOV_SERVICO_MANUT_PREV);
inline constexpr DescricaoArquivoGE ARQUIVO_MOV_INTEGRACAO_COMPRAS = detalhe_arquivos_ge::Descreve<REG_QVDMC>(
    "m_MovIntegracaoCompras", ETipoArquivoGE::eArquivoGrupo, "REG_QVDMC", NOME_ARQUIVO_MOV_INTEGRACAO_COMPRAS);
inline constexpr DescricaoArquivoGE ARQUIVO_MANUTENCAO_FREQUENCIA_TXT =
    detalhe_arquivos_ge::DescreveTexto("m_ManutencaoFrequenciaTXT", NOME_ARQUIVO_MANUTENCAO_FREQUENCIA_TXT);
inline constexpr DescricaoArquivoGE ARQUIVO_MOV_MANUT_PREV_TXT =
    detalhe_arquivos_ge::DescreveTexto("m_MovManutPrevTXT", NOME_ARQUIVO_MOV_MANUT_PREV_TXT);

// Every member, in the order the database builds them (the order of its
// member objects). The container itself initialises its files in the
// ascending byte order of their names.
inline constexpr std::array<DescricaoArquivoGE, 21> ARQUIVOS_GE_MANUTENCAO_PREVENTIVA{
    ARQUIVO_MANUTENCAO_PREVENTIVA,     ARQUIVO_MANUTENCAO_CLIENTE,        ARQUIVO_MANUTENCAO_EQUIPAMENTO,
    ARQUIVO_MANUTENCAO_FREQUENCIA,     ARQUIVO_MANUTENCAO_SERVICO,        ARQUIVO_MANUTENCAO_PRODUTO,
    ARQUIVO_MANUTENCAO_LOCAL_PRODUTO,  ARQUIVO_MEDICAO_ATUAL,             ARQUIVO_MEDIDORES,
    ARQUIVO_RELACIONAMENTO_MOV_OS,     ARQUIVO_MOVIMENTACOES_DIA,         ARQUIVO_MANUTENCAO_PROPRIEDADES,
    ARQUIVO_MOVIMENTACAO_PROPRIEDADES, ARQUIVO_HISTORICO_MEDICOES,        ARQUIVO_MOV_MANUT_PREV,
    ARQUIVO_MOV_PRODUTO_MANUT_PREV,    ARQUIVO_MOV_LOCAL_PRODUTO,         ARQUIVO_MOV_SERVICO_MANUT_PREV,
    ARQUIVO_MOV_INTEGRACAO_COMPRAS,    ARQUIVO_MANUTENCAO_FREQUENCIA_TXT, ARQUIVO_MOV_MANUT_PREV_TXT,
};

// The member file of a name (exact spelling); nullptr when the name is not one.
constexpr const DescricaoArquivoGE* BuscaArquivoGE(std::string_view sNomeArquivo) {
    for (const DescricaoArquivoGE& arq : ARQUIVOS_GE_MANUTENCAO_PREVENTIVA)
        if (arq.sNomeArquivo == sNomeArquivo) return &arq;
    return nullptr;
}

// ---- Links ---------------------------------------------------------------------

// A field of a record: its name as declared and its byte offset.
struct CampoRegistroGE {
    std::string_view sNome;
    std::size_t offset;
};

// The field of record type T named `campo`, checked to exist by offsetof.
#define QV_CAMPO_GE(T, campo) ::zenta::CampoRegistroGE{#campo, offsetof(T, campo)}

// A parent record's run of children in another file: the first child's
// position (from 1, 0 = none) and the number of children, both unsigned
// 32-bit, both zero or both non-zero.
struct LigacaoFilhosGE {
    std::string_view sArquivoPai;
    std::string_view sArquivoFilho;
    CampoRegistroGE campoPrimeiro;
    CampoRegistroGE campoQtd;
};

// A parent record's text: its position in a text file (unsigned 32-bit,
// 0 = no text).
struct LigacaoTextoGE {
    std::string_view sArquivoPai;
    std::string_view sArquivoTexto;
    CampoRegistroGE campo;
    bool bCompactadoNaInicializacao;  // the text file is compacted against this field at start-up
};

// The links between the registration files, in the order start-up compacts
// them (ShrinkFile): a parent of a chain against its child before that child,
// as a parent, against its own children.
inline constexpr std::array<LigacaoFilhosGE, 5> LIGACOES_CADASTRO_GE{{
    {NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, NOME_ARQUIVO_MANUTENCAO_CLIENTE,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lClientes),
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lQtdClientes)},
    {NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lManutencoes),
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lQtdManutencoes)},
    {NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, NOME_ARQUIVO_MANUTENCAO_SERVICO,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lServicosManutencao),
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lQtdServicos)},
    {NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, NOME_ARQUIVO_MANUTENCAO_PRODUTO,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lProdutosManutencao),
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lQtdProdutos)},
    {NOME_ARQUIVO_MANUTENCAO_PRODUTO, NOME_ARQUIVO_MANUTENCAO_LOCAL_PRODUTO,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lLocalEstoque),
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_PRODUTO_V1, lQtdEstoque)},
}};

// A parent record's one child in another file: its position (unsigned
// 32-bit, from 1, 0 = none). Every plan save writes a new meter and a new
// frequency for each maintenance (the daily verification too, for the
// plans it counts), so start-up compacts both files (ShrinkSingleFile) or
// they would grow by the number of counted maintenances every day.
struct LigacaoPonteiroGE {
    std::string_view sArquivoPai;
    std::string_view sArquivoFilho;
    CampoRegistroGE campo;
};

inline constexpr std::array<LigacaoPonteiroGE, 2> LIGACOES_PONTEIRO_GE{{
    {NOME_ARQUIVO_MANUTENCAO_PREVENTIVA, NOME_ARQUIVO_MEDIDORES,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1, lMedidor)},
    {NOME_ARQUIVO_MANUTENCAO_EQUIPAMENTO, NOME_ARQUIVO_MANUTENCAO_FREQUENCIA,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1, lFrequencia)},
}};

// The links of a maintenance order. The children of the group files lie in
// the member of the same month/year key as their parent; the service-order
// links in the plain file. None is compacted.
inline constexpr std::array<LigacaoFilhosGE, 5> LIGACOES_MOVIMENTACAO_GE{{
    {NOME_ARQUIVO_MOV_MANUT_PREV, NOME_ARQUIVO_MOV_PRODUTO_MANUT_PREV,
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lProdutosMovimentacao),
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdProdutos)},
    {NOME_ARQUIVO_MOV_MANUT_PREV, NOME_ARQUIVO_MOV_SERVICO_MANUT_PREV,
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lServicosMovimentacao),
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdServicos)},
    {NOME_ARQUIVO_MOV_MANUT_PREV, NOME_ARQUIVO_RELACIONAMENTO_MOV_OS,
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lRelacionamentoOS),
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdRelacionamentoOS)},
    {NOME_ARQUIVO_MOV_MANUT_PREV, NOME_ARQUIVO_MOV_INTEGRACAO_COMPRAS,
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lPtrIntegracaoCompras),
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lQtdDMC)},
    {NOME_ARQUIVO_MOV_PRODUTO_MANUT_PREV, NOME_ARQUIVO_MOV_LOCAL_PRODUTO,
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lLocalEstoque),
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1, lQtdEstoque)},
}};

// The text links. Only the frequencies' remarks are compacted at start-up
// (ShrinkSingleText), after the registration links; the orders' texts are
// referred to from every month's member and are not.
inline constexpr std::array<LigacaoTextoGE, 3> LIGACOES_TEXTO_GE{{
    {NOME_ARQUIVO_MANUTENCAO_FREQUENCIA, NOME_ARQUIVO_MANUTENCAO_FREQUENCIA_TXT,
     QV_CAMPO_GE(REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1, lObservacao), true},
    {NOME_ARQUIVO_MOV_MANUT_PREV, NOME_ARQUIVO_MOV_MANUT_PREV_TXT,
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lObservacao), false},
    {NOME_ARQUIVO_MOV_MANUT_PREV, NOME_ARQUIVO_MOV_MANUT_PREV_TXT,
     QV_CAMPO_GE(REG_MOVIMENTACAO_MANUT_PREV_V1, lOcorrencia), false},
}};

}  // namespace zenta
