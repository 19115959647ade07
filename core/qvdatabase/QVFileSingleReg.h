// A file that holds exactly one record of type T after its optional header,
// kept in memory and written through on change.
#pragma once

#include <cstring>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/qvdatabase/QVDataBaseUtil.h"
#include "core/qvdatabase/QVFileBase.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

template <class T>
class CQVFileSingleReg : public CQVFileBase {
    static_assert(std::is_trivially_copyable_v<T>, "records are written to disk byte for byte");

public:
    CQVFileSingleReg(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase)
        : CQVFileBase(sNomeArquivo, pDataBase) {
        std::memset(&m_Registro, 0, sizeof m_Registro);
    }
    ~CQVFileSingleReg() override = default;

    // E_QVCR_ARQUIVO_NAO_EXISTE (and a zeroed record) while the file holds no record.
    HRESULT Le(T& reg) const {
        std::shared_lock trava(m_lock);
        if (!EstaAberto() || !m_bTemRegistro) {
            std::memset(&reg, 0, sizeof reg);
            return E_QVCR_ARQUIVO_NAO_EXISTE;
        }
        std::memcpy(&reg, &m_Registro, sizeof reg);
        return S_OK;
    }

    // True when the file holds no record or `reg` differs in any byte.
    bool PrecisaGravar(const T& reg) const {
        return !EstaAberto() || !m_bTemRegistro || std::memcmp(&reg, &m_Registro, sizeof reg) != 0;
    }

    // Writes the record unless it equals the stored one; retried like every write.
    HRESULT Grava(const T& reg) {
        std::unique_lock trava(m_lock);
        if (!PrecisaGravar(reg)) return S_OK;
        QV_CHECK(ConfereGravacaoPermitida());
        QV_CHECK(AbreArquivo(eModoLeituraGravacaoCriacao));
        const T copia = reg;
        QV_CHECK(ComTentativasGravacao([&] { return GravaRegistro(copia); }));
        return S_OK;
    }

    ULONGLONG GetQtdRegistros() const override {
        std::shared_lock trava(m_lock);
        return EstaAberto() && m_bTemRegistro ? 1 : 0;
    }

    std::string GetNomeTipoRegistro() const override { return std::string(zenta::NomeTipoRegistro<T>()); }

protected:
    HRESULT OnInicializa() override {
        std::memset(&m_Registro, 0, sizeof m_Registro);
        m_bTemRegistro = false;
        QV_CHECK(CQVFileBase::OnInicializa());
        QV_CHECK(AbreArquivo(eModoLeituraGravacao));
        if (!EstaAberto()) return S_OK;
        uint64_t tamanho = 0;
        if (const zenta::ResultadoArquivo r = TamanhoArquivo(tamanho); !r.Ok()) {
            const HRESULT hr = CatchInicializacao(r);
            FechaArquivo();
            return hr;
        }
        const ULONGLONG seek = GetSeekCabecalho();
        const uint64_t dados = tamanho >= seek ? tamanho - seek : 0;
        // A file created but never given its record (a write cut short) holds
        // no record, like a missing one.
        if (dados == 0) return S_OK;
        if (dados != sizeof(T)) {
            FechaArquivo();
            QV_CHECK(E_QVCR_ARQUIVO_SINGLE_REG_NAO_TEM_TAMANHO_ESTRUTURA);
        }
        if (const zenta::ResultadoArquivo r = LeDados(seek, &m_Registro, sizeof m_Registro); !r.Ok()) {
            std::memset(&m_Registro, 0, sizeof m_Registro);
            const HRESULT hr = CatchInicializacao(r);
            FechaArquivo();
            return hr;
        }
        m_bTemRegistro = true;
        return S_OK;
    }

    // The first write of the record, cut short before its header update.
    bool AcrescimoInteiro(uint64_t inicio, uint64_t tamanho) override {
        return inicio == QVDATABASE_TAMANHO_CABECALHO && tamanho == sizeof(T);
    }

    HRESULT OnFinaliza() override {
        std::memset(&m_Registro, 0, sizeof m_Registro);
        m_bTemRegistro = false;
        return CQVFileBase::OnFinaliza();
    }

    // Writes the record after the header, keeps it in memory and brings the
    // header up to date. A failed write is undone: the file is cut back to
    // the header and the record it held, which is written back from memory.
    HRESULT GravaRegistro(const T& reg) {
        QV_CHECK(ConfereGravacaoPermitida());
        const ULONGLONG seek = GetSeekCabecalho();
        const zenta::ResultadoArquivo r = GravaDados(seek, &reg, sizeof reg);
        if (!r.Ok()) {
            const HRESULT hr = CatchGravacao(r);
            QV_CHECK(DesfazGravacao(seek + (m_bTemRegistro ? sizeof(T) : 0), [&]() -> zenta::ResultadoArquivo {
                if (!m_bTemRegistro) return zenta::ResultadoArquivo::Sucesso();
                return GravaDados(seek, &m_Registro, sizeof m_Registro);
            }));
            return hr;
        }
        std::memcpy(&m_Registro, &reg, sizeof reg);
        m_bTemRegistro = true;
        QV_CHECK(AtualizaArquivo());
        return S_OK;
    }

private:
    T m_Registro;
    bool m_bTemRegistro = false;
};

template <class T>
HRESULT CQVDataBaseUtil::LeSingleReg(const CQVInicializador* pContexto, int eModulo, T* pReg,
                                     std::string_view sNomeArquivo) {
    if (pReg == nullptr) return E_POINTER;
    std::memset(static_cast<void*>(pReg), 0, sizeof(T));
    if (pContexto == nullptr) return E_INVALIDARG;
    zenta::CQVContainerArquivosSimples db(eModulo);
    db.SetLeituraSemBloqueio(true);
    CQVFileSingleReg<T> arq(sNomeArquivo, &db);
    QV_CHECK(arq.Inicializa(*pContexto));
    HRESULT hr = S_OK;
    if (arq.GetQtdRegistros() != 0) hr = arq.Le(*pReg);
    arq.Finaliza();
    return hr;
}

}  // namespace zenta
