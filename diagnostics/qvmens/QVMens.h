/* The exports of the ERP's message library (libQVMens.so), looked up by name
 * at run time by the server library. Every text is Windows-1252 and
 * zero-terminated; a null text counts as empty. */
#ifndef QVMENS_H
#define QVMENS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Receives an error report: the context code of the report, the HRESULT, a
 * limit (0x7FFFFFFF), the company, the source file and line, a flag (1), a
 * reserved 0, the reporting program's full file name and the text. */
typedef void (*PFN_QVTrataErroExported)(uint32_t contexto, int32_t hr, int32_t limite, const char* empresa,
                                        const char* arquivo, uint32_t linha, int32_t flag, int32_t zero,
                                        const char* programa, const char* texto);

/* Describes an HRESULT into the buffer (always terminated when tamanho > 0);
 * answers 0 when the code is unknown, leaving the buffer empty. */
typedef int (*PFN_QVGetDescricaoHRESULT)(int32_t hr, char* buffer, uint32_t tamanho);

/* Answers non-zero when the facility is one of the ERP's. */
typedef int (*PFN_EhFacilityMT)(uint32_t facility);

#define QVMENS_NOME_BIBLIOTECA "libQVMens.so"
#define QVMENS_EXPORT_TRATA_ERRO "QVTrataErroExported"
#define QVMENS_EXPORT_DESCRICAO "QVGetDescricaoHRESULT"
#define QVMENS_EXPORT_FACILITY "EhFacilityMT"

#ifdef QVMENS_IMPLEMENTACAO
#define QVMENS_API __attribute__((visibility("default")))
QVMENS_API void QVTrataErroExported(uint32_t contexto, int32_t hr, int32_t limite, const char* empresa,
                                    const char* arquivo, uint32_t linha, int32_t flag, int32_t zero,
                                    const char* programa, const char* texto);
QVMENS_API int QVGetDescricaoHRESULT(int32_t hr, char* buffer, uint32_t tamanho);
QVMENS_API int EhFacilityMT(uint32_t facility);
#endif

#ifdef __cplusplus
}
#endif

#endif
