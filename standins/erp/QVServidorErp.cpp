#include "standins/erp/QVServidorErp.h"

#include <cstring>
#include <filesystem>
#include <string_view>

#include "diagnostics/QVCheck.h"
#include "diagnostics/QVCodigosErro.h"

namespace zenta {

HRESULT BancoDaInicializacao(const _REG_DF_INICIALIZAPS& regps, std::shared_ptr<ErpBanco>& banco) {
    banco.reset();
    if (regps.usVersaoFarol != QV_VERSAO_FAROL) QV_CHECK(E_QVCR_VERSAO_INCOMPATIVEL);
    if (QVCalculaCrc64(&regps, QV_TAMANHO_CRC_INICIALIZACAO, 0) != regps.uiCRC)
        QV_CHECK(E_QVCR_CRC_INICIALIZACAO_INVALIDO);
    const void* fim = std::memchr(regps.szEmpresa, 0, sizeof regps.szEmpresa);
    if (fim == nullptr) QV_CHECK(E_QVCR_ESTRUTURA_INICIALIZACAO_INVALIDA);
    const std::string_view empresa(regps.szEmpresa,
                                   static_cast<std::size_t>(static_cast<const char*>(fim) - regps.szEmpresa));
    std::filesystem::path arquivo;
    QV_CHECK(ErpBanco::Caminho(empresa, arquivo));
    QV_CHECK(ErpBanco::Compartilhado(arquivo, banco));
    return S_OK;
}

}  // namespace zenta
