#include "core/qvdatabase/QVFileCopia.h"

#include <mutex>

#include "core/qvdatabase/QVDataBaseUtil.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

CQVFileCopia::CQVFileCopia(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase)
    : CQVFileBase(sNomeArquivo, pDataBase) {}

CQVFileCopia::~CQVFileCopia() = default;

HRESULT CQVFileCopia::OnInicializa() {
    QV_CHECK(CQVFileBase::OnInicializa());
    QV_CHECK(CQVDataBaseUtil::DeletaArquivo(this, m_eModulo, m_sNomeArquivo, eRemoverDoControleCriacaoArquivosInMemory,
                                            m_ControleCriacaoArquivos.get()));
    return S_OK;
}

HRESULT CQVFileCopia::GravaBytes(uint64_t offset, const void* pDados, std::size_t tamanho) {
    if (pDados == nullptr && tamanho != 0) return E_POINTER;
    std::unique_lock trava(m_lock);
    QV_CHECK(AbreArquivo(eModoLeituraGravacaoCriacao));
    if (tamanho == 0) return S_OK;
    QV_CHECK(ComTentativasGravacao([&]() -> HRESULT {
        const zenta::ResultadoArquivo r = GravaDados(offset, pDados, tamanho);
        return r.Ok() ? S_OK : CatchGravacao(r);
    }));
    return S_OK;
}

}  // namespace zenta
