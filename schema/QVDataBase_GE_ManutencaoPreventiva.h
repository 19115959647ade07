// The preventive-maintenance module's database: one container of module 9
// per company whose members are the module's files (names, kinds and record
// types from ArquivosManutencaoPreventiva.h). Building it reads nothing;
// initialising it first compacts the registration files against their
// parents (child runs, then the frequencies' remarks), in the order of the
// link tables, and then loads every member whole. A directory without any
// file starts with every member empty; the first write of a member creates
// its file with its header.
//
// A start-up that fails while loading lets go of the members it had already
// opened without bringing their headers up to date: a database that could
// not start leaves its directory as it found it.
//
// One process at a time uses a company's files: from the start of its
// start-up (compactions included) until it is finalised, the database holds
// the lock of the company's data directory (CQVDataBaseUtil::TravaUsoDados).
// Every member is open as a writer for that whole time anyway, so two
// processes could never both use a company that has files; the lock makes
// the rule hold for one without files too, and lets a process starting
// meanwhile wait for it (within the file layer's bound for a busy file) at
// one place, before it looks at compaction twins or takes any member.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string_view>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVDataBase.h"
#include "core/qvdatabase/QVFile.h"
#include "core/qvdatabase/QVFileSingleReg.h"
#include "core/qvdatabase/QVGroupFile.h"
#include "core/qvdatabase/QVTextFile.h"
#include "schema/ArquivosManutencaoPreventiva.h"
#include "schema/RegistrosManutencaoPreventiva.h"

namespace zenta {

// ---- Indexes the logic looks records up by ----------------------------------------------

// The orders of every month (m_MovManutPrev), by the maintenance code of the
// order. Zero and repeated codes are allowed: every order of a maintenance
// is listed, in position order.
inline constexpr UINT INDICE_ORDEM_CODIGO_MANUTENCAO = 0;
// The current readings (m_MedicaoAtual) and the plans (m_ManutencaoPreventiva),
// by ChaveIdentificacaoMedicao of their identification. Different
// identifications may share a key: a lookup confirms each position it gets
// by comparing the identification itself.
inline constexpr UINT INDICE_MEDICAO_IDENTIFICACAO = 0;
inline constexpr UINT INDICE_PLANO_IDENTIFICACAO = 0;

// The index key of a reading's identification: CRC-64 over the eight codes
// (equipment, product, brand, model, type, grades 1 to 3, four bytes each,
// least significant first) followed by the serial number in capitals
// (Windows-1252, as compared without regard to case). Two identifications
// that are the same without regard to the serial's case have the same key.
ULONGLONG ChaveIdentificacaoMedicao(ULONG lEquipamento, ULONG lProduto, ULONG lMarca, ULONG lModelo, ULONG lTipo,
                                    ULONG lGrade1, ULONG lGrade2, ULONG lGrade3, std::string_view sNrSerie);

// The key of a stored reading, an interface reading or a stored plan (same field names);
// the serial ends at its first zero or at the end of its field.
template <class TLeitura>
ULONGLONG ChaveIdentificacaoMedicao(const TLeitura& r) {
    const std::size_t n = sizeof r.szNrSerie;
    const void* fim = std::memchr(r.szNrSerie, 0, n);
    const std::size_t tamanho = fim != nullptr ? static_cast<std::size_t>(static_cast<const char*>(fim) - r.szNrSerie) : n;
    return ChaveIdentificacaoMedicao(r.lEquipamento, r.lProduto, r.lMarca, r.lModelo, r.lTipo, r.lGrade1, r.lGrade2,
                                     r.lGrade3, std::string_view(r.szNrSerie, tamanho));
}

class CQVDataBase_GE_ManutencaoPreventiva : public CQVDataBase {
public:
    CQVDataBase_GE_ManutencaoPreventiva();
    ~CQVDataBase_GE_ManutencaoPreventiva() override;

    // ---- Members, in the order they are built -----------------------------------------
    // Typed record files.
    CQVFile<REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1> m_ManutencaoPreventiva;
    CQVFile<REG_CADASTRO_MANUTENCAO_CLIENTE_V1> m_ManutencaoCliente;
    CQVFile<REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1> m_ManutencaoEquipamento;
    CQVFile<REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1> m_ManutencaoFrequencia;
    CQVFile<REG_CADASTRO_MANUTENCAO_SERVICO_V1> m_ManutencaoServico;
    CQVFile<REG_CADASTRO_MANUTENCAO_PRODUTO_V1> m_ManutencaoProduto;
    CQVFile<REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1> m_ManutencaoLocalProduto;
    CQVFile<REG_CADASTRO_MEDICAO_ATUAL_V1> m_MedicaoAtual;
    CQVFile<REG_CADASTRO_MEDIDORES_V1> m_Medidores;
    CQVFile<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1> m_RelacionamentoMovOS;
    CQVFile<REG_MOVIMENTACOES_DIARIAS_V1> m_MovimentacoesDia;
    // Single-record files.
    CQVFileSingleReg<REG_CADASTRO_PROPRIEDADES_V1> m_ManutencaoPropriedades;
    CQVFileSingleReg<REG_MOVIMENTACAO_PROPRIEDADES_V1> m_MovimentacaoPropriedades;
    // Group files, one member per month/year key.
    zenta::CQVGroupFile<REG_CADASTRO_HISTORICO_MEDICOES_V1> m_HistoricoMedicoes;
    zenta::CQVGroupFile<REG_MOVIMENTACAO_MANUT_PREV_V1> m_MovManutPrev;
    zenta::CQVGroupFile<REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1> m_MovProdutoManutPrev;
    zenta::CQVGroupFile<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1> m_MovLocalProduto;
    zenta::CQVGroupFile<REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1> m_MovServicoManutPrev;
    zenta::CQVGroupFile<REG_QVDMC> m_MovIntegracaoCompras;
    // Text files.
    CQVTextFile m_ManutencaoFrequenciaTXT;
    CQVTextFile m_MovManutPrevTXT;

    // Serialises the logic's writes that span several members or depend on
    // what is already stored (new maintenance codes from the record count,
    // the one current reading per identification), across every session of
    // the company. Recursive: a plan save records its readings.
    zenta::CQVTravaRecursiva m_travaGravacao;

    // The highest maintenance code this company has given, kept so that a
    // new code costs nothing: found once (every maintenance record and every
    // order on file) and then brought up to date from the maintenance
    // records appended since. Only ever grows while the database lives.
    // Guarded by m_travaGravacao.
    struct MaiorCodigoManutencao {
        bool bCalculado = false;
        ULONG lMaior = 0;
        ULONGLONG uiManutencoesVistas = 0;  // maintenance records already looked at
    } m_maiorCodigoManutencao;

    // Registers the identification index of the current readings and of
    // the plans, on each file that has none. A plain file loses its indexes
    // whenever it is loaded again (start-up, SetConteudo, DeletaArquivo), so
    // every indexed lookup calls this first; an index then follows every
    // write of its file. The orders' index is a definition of their group,
    // made once when the database is built and applied by the group to every
    // member it loads or creates.
    HRESULT IndexaIdentificacoes();

protected:
    // Compacts the registration files (parents against children, then the
    // frequencies' remarks), then loads every member in name order (a month
    // file when a call first reaches it). The first failure ends start-up
    // with its code.
    HRESULT OnInicializa() override;
    // Finalises every member (headers brought up to date, files closed).
    HRESULT OnFinaliza() override;

private:
    // Runs the start-up compactions in the order of the link tables.
    HRESULT CompactaArquivos();

    // Serialises IndexaIdentificacoes: two sessions must not both register.
    zenta::CQVTrava m_travaIndices;
    // The lock of the company's data directory, held from start-up to finalisation.
    std::unique_ptr<zenta::IArquivoAberto> m_travaUso;
};

}  // namespace zenta
