// The base of every file of a module's database: its name and module, where
// it lives, how it is opened (modes, sharing, retries), the optional 240-byte
// header in front of the records (creation, validation, insertion into files
// that lack it, update after each write) and the codes of file failures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVContextoMotor.h"
#include "core/qvdatabase/QVDataBaseContainer.h"
#include "core/qvdatabase/QVDataBaseDefs.h"
#include "diagnostics/QVDF_Profiler.h"
#include "diagnostics/QVGuardaFalhas.h"

namespace zenta {

// A module whose files never get a header.
inline constexpr int QVDATABASE_MODULO_SEM_CABECALHO = -5;

// What every file object of a container answers, plain files and groups.
// Its context is the container's, given at initialisation.
class IQVFileBase : public CQVContextoMotor {
public:
    ~IQVFileBase() override = default;

    virtual HRESULT DeletaArquivo() = 0;
    virtual std::string GetNomeArquivo() const = 0;
    virtual int GetModulo() const = 0;
    virtual void SetModulo(int eModulo) = 0;
    virtual ULONGLONG GetQtdRegistros() const = 0;
    virtual void DesabilitaControleCriacaoArquivos() = 0;
    // The in-memory records as one block (typed files); null otherwise.
    virtual const void* GetArrayData() const = 0;
    // Replaces the whole content with `tamanho` / record size records.
    virtual HRESULT SetArrayData(const void* pData, std::size_t tamanho) = 0;
    // The record type's name ("Invalid" for kinds without one).
    virtual std::string GetNomeTipoRegistro() const = 0;
    // The in-memory record at a position (position 0 gives the first); null when there is none.
    virtual const void* GetRegData(ULONGLONG uiPosicao) const = 0;
    // Writes one raw record at a position (0 appends and returns the new position).
    virtual HRESULT SetRegData(ULONGLONG& uiPosicao, const void* pData) = 0;
};

class CQVFileBase : public IQVFileBase {
public:
    // Normalises and keeps the name, takes the module of the container and
    // registers with it. Nothing is opened. `pDataBase` may be null (a file
    // outside any container, module QV_MODULO_GE until SetModulo).
    CQVFileBase(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase);
    ~CQVFileBase() override;
    CQVFileBase(const CQVFileBase&) = delete;
    CQVFileBase& operator=(const CQVFileBase&) = delete;

    HRESULT DeletaArquivo() override;
    std::string GetNomeArquivo() const override { return m_sNomeArquivo; }
    int GetModulo() const override { return m_eModulo; }
    void SetModulo(int eModulo) override;
    ULONGLONG GetQtdRegistros() const override { return 0; }
    void DesabilitaControleCriacaoArquivos() override;
    const void* GetArrayData() const override { return nullptr; }
    HRESULT SetArrayData(const void*, std::size_t) override { return S_OK; }
    std::string GetNomeTipoRegistro() const override { return "Invalid"; }
    const void* GetRegData(ULONGLONG) const override { return nullptr; }
    HRESULT SetRegData(ULONGLONG&, const void*) override { return S_OK; }

    HRESULT AbreArquivo(EQVDataBase_ModoAbertura eModoAbertura);
    HRESULT FechaArquivo();
    // Brings the header up to date when the file is open for writing.
    HRESULT AtualizaArquivo();
    // Whether the file exists on disk (its name compared without regard to case).
    bool ExisteArquivo() const;
    // Stores the data version in the header (when headers are managed).
    HRESULT GravaVersaoArquivo(USHORT usVersaoArquivo);

    // 240 when the open file has a version-1 header, else 0.
    ULONGLONG GetSeekCabecalho();
    EQVDataBase_ModoAbertura GetModoAbertura() const { return m_eModoAbertura; }
    bool EstaAberto() const { return m_pArquivo != nullptr; }
    // The header as last read or written (zero when there is none).
    const REG_QVDATABASE_CABECALHO_V1& GetCabecalho() const { return m_Cabecalho; }
    const std::filesystem::path& GetPathArquivo() const { return m_sPathArquivo; }
    // The container the file was built on (null for a file outside any).
    zenta::IQVDataBaseContainer* GetDataBase() const { return m_pDataBase; }
    // Brings the open file's data to stable storage (nothing when closed).
    HRESULT SincronizaArquivo();

    // Codes after which a failed write is not tried again.
    static bool EhUmaExcecaoFatal(HRESULT hr);
    // The code and logged name of a file failure caught while loading or writing.
    static HRESULT CodigoExcecaoArquivo(zenta::CausaArquivo causa);
    static const char* NomeExcecaoArquivo(HRESULT hr);

protected:
    HRESULT OnInicializa() override;
    HRESULT OnFinaliza() override;

    // Writes the engine's error line ("hr = 0x%08X\tDescrição = %s\tArquivo = %s\t...")
    // for a failure at a record position.
    void GravaLogErroMotor(std::string_view funcao, std::string_view fonte, unsigned linha, HRESULT hr, ULONGLONG uiPosicao,
                           std::size_t tamanhoRegistro, ULONGLONG qtdRegistros) const;

    // Turn a failure of the file layer into its code and log it under its name.
    HRESULT CatchInicializacao(const zenta::ResultadoArquivo& falha);
    HRESULT CatchGravacao(const zenta::ResultadoArquivo& falha);

    // Whether this file's header is managed.
    bool GerenciarCabecalho() const;
    HRESULT GerenciaCabecalho();
    bool PossuiCabecalho();
    HRESULT ValidaCabecalho();
    HRESULT ValidaCabecalhoV01();
    HRESULT GeraDadosCabecalho();
    // Cuts off bytes past the header's data length that are a write never
    // acknowledged (AcrescimoInteiro); `tamanho` is the file length, updated.
    HRESULT DescartaAcrescimoNaoConfirmado(uint64_t& tamanho);
    // Whether the `tamanho` bytes from `inicio` on are whole records of this
    // kind (whole text items): what an append leaves before its header
    // update. The base knows no records: false.
    virtual bool AcrescimoInteiro(uint64_t /*inicio*/, uint64_t /*tamanho*/) { return false; }
    HRESULT CriaCabecalho();
    // Creates the missing file with its header only, through its "cab" twin.
    HRESULT CriaArquivoComCabecalho();
    // Removes the "cab" twin a creation cut short left beside a missing file.
    void RemoveCriacaoInterrompida();
    HRESULT AtualizaCabecalho();
    // Fills `cabecalho` as a new header of a file holding `tamanhoDados` data bytes.
    void MontaCabecalhoNovo(REG_QVDATABASE_CABECALHO_V1& cabecalho, uint64_t tamanhoDados) const;

    // Replaces the whole data of the file by `tamanho` bytes without a moment
    // in which the file is missing or half written: the new content, behind a
    // new header when headers are managed, goes to the "cab" copy
    // (CQVFileCopia), is brought to disk and is renamed over the file while
    // this object still holds the file's lock. The object is left closed.
    HRESULT SubstituiDadosArquivo(const void* pDados, std::size_t tamanho);

    // Raw access to the open file for derived kinds, in pieces of at most 1 GiB.
    zenta::ResultadoArquivo LeDados(uint64_t posicao, void* destino, std::size_t tamanho);
    zenta::ResultadoArquivo GravaDados(uint64_t posicao, const void* origem, std::size_t tamanho);
    zenta::ResultadoArquivo TamanhoArquivo(uint64_t& tamanho);
    zenta::ResultadoArquivo TruncaDados(uint64_t tamanho);

    // Brings the file back to what it was before a write that failed
    // part-way (a full disk may let part of it land): cuts the file to
    // `tamanhoAnterior` bytes (the header plus the data the object holds) and
    // runs `reescreve`, which writes back the bytes the failed write may have
    // overwritten in place (the object still holds them) and returns the
    // layer's result. When either step fails, the file no longer matches the
    // object and nothing can put it right from here: the object refuses every
    // further write (ConfereGravacaoPermitida) and stops updating the header
    // until it is initialised again, so that the stray bytes are never taken
    // for data: the header's data length keeps the last good value and the
    // next load of the file reports the mismatch
    // (E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE). Returns S_OK or the code of the
    // step that failed.
    template <class Reescreve>
    HRESULT DesfazGravacao(uint64_t tamanhoAnterior, Reescreve&& reescreve) {
        if (!EstaAberto()) return S_OK;  // nothing can have landed
        zenta::ResultadoArquivo r = TruncaDados(tamanhoAnterior);
        if (r.Ok()) r = reescreve();
        if (r.Ok()) return S_OK;
        m_bGravacaoRecusada = true;
        return CatchGravacao(r);
    }
    // E_QVCR_TAMANHO_ARQUIVO_NAO_CONFERE (logged) once a failed write could
    // not be undone (DesfazGravacao); S_OK otherwise.
    HRESULT ConfereGravacaoPermitida();
    bool GravacaoRecusada() const { return m_bGravacaoRecusada; }

    // Runs `passo` until it succeeds, fails with a code of EhUmaExcecaoFatal,
    // fails in a way that could not be undone (DesfazGravacao) or has been
    // tried the write retry count, pausing between attempts.
    template <class Passo>
    HRESULT ComTentativasGravacao(Passo&& passo) {
        const zenta::PoliticaTentativas politica = zenta::TentativasArquivo();
        const unsigned tentativas = politica.tentativasGravacao == 0 ? 1 : politica.tentativasGravacao;
        HRESULT hr = S_OK;
        for (unsigned i = 0; i < tentativas; ++i) {
            if (i > 0) zenta::ArquivoSO()->Pausa(politica.pausa);
            hr = passo();
            if (SUCCEEDED(hr) || EhUmaExcecaoFatal(hr) || m_bGravacaoRecusada) break;
        }
        return hr;
    }

    std::string m_sNomeArquivo;
    int m_eModulo;
    zenta::IQVDataBaseContainer* m_pDataBase;
    std::unique_ptr<zenta::IQVControleCriacaoArquivos> m_ControleCriacaoArquivos;
    // Guards the in-memory contents of derived kinds: reads shared, writes exclusive.
    mutable zenta::CQVTravaLeituraEscrita m_lock;

private:
    void LimpaEstadoCabecalho();
    HRESULT AbreSO(const std::filesystem::path& caminho, EQVDataBase_ModoAbertura eModoAbertura);
    HRESULT LeCabecalhoCompleto();
    HRESULT RenomeiaCaixaNoDisco(const std::filesystem::path& noDisco);

    std::filesystem::path m_sPathArquivo;
    std::unique_ptr<zenta::IArquivoAberto> m_pArquivo;
    EQVDataBase_ModoAbertura m_eModoAbertura = eModoInvalido;
    REG_QVDATABASE_CABECALHO_V1 m_Cabecalho{};
    bool m_bCabecalhoVerificado = false;  // the prefix has been examined since the open
    bool m_bPossuiCabecalho = false;
    bool m_bCabecalhoDanificado = false;  // no valid prefix, but what lies there was a header
    bool m_bCabecalhoCompleto = false;    // all 240 bytes of m_Cabecalho are the file's
    bool m_bCriandoCabecalho = false;     // CriaCabecalho is reopening the file
    bool m_bGravacaoRecusada = false;     // a failed write could not be undone (DesfazGravacao)
};

// The record date-time of now: day number × 86,400 + seconds of the local time.
QVDATAHORA_REGISTRO DataHoraRegistroAgora();
// The host's computer name as the header stores it (at most 15 characters).
std::string NomeComputadorCabecalho();
// The prefix every version-1 header starts with: 01 00, zeros, and the two CRCs.
void PreenchePrefixoCabecalhoV1(REG_QVDATABASE_CABECALHO_V1& cabecalho);
// The CRC-64 of bytes 24-231 of a header.
ULONGLONG CrcCabecalho(const REG_QVDATABASE_CABECALHO_V1& cabecalho);

}  // namespace zenta
