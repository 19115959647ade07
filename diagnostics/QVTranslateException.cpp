#include "diagnostics/QVTranslateException.h"

#include <exception>
#include <new>

#include "diagnostics/QVCodigosErro.h"
#include "diagnostics/QVException.h"

namespace zenta {

HRESULT QVTranslateThrownExceptionToHresult() {
    // `throw;` with no exception being handled would end the process.
    if (!std::current_exception()) return E_UNEXPECTED;
    try {
        throw;
    } catch (const _com_error& e) {
        return e.Error();
    } catch (const CQVExceptionEx& e) {
        return e.hr;
    } catch (CQVException* e) {
        if (e == nullptr || e->m_ulErroSO == 0) return QV_E_QVEXCEPTION_SEM_ERRO_SO;
        return static_cast<HRESULT>(e->m_ulErroSO | 0x80040000u);
    } catch (CFileException* e) {
        if (e == nullptr) return QV_E_EXCECAO_FRAMEWORK;
        const LONG n = e->m_lOsError;
        // Error number 0 would make a thrown file exception a success.
        if (n == 0) return QV_E_EXCECAO_FRAMEWORK;
        if (n < 0) return n;
        return static_cast<HRESULT>((static_cast<uint32_t>(n) & 0xFFFFu) | 0x80070000u);
    } catch (CMemoryException*) {
        return QV_E_EXCECAO_MEMORIA;
    } catch (CInvalidArgException*) {
        return QV_E_EXCECAO_ARGUMENTO_INVALIDO;
    } catch (CException*) {
        return QV_E_EXCECAO_FRAMEWORK;
    } catch (long valor) {
        // The 32-bit long of the interface travels in the low half.
        return static_cast<HRESULT>(static_cast<uint32_t>(valor));
    } catch (HRESULT valor) {
        return valor;
    } catch (const std::bad_alloc&) {
        return QV_E_BAD_ALLOC;
    } catch (const std::exception&) {
        return QV_E_STD_EXCEPTION;
    } catch (...) {
        return QV_E_EXCECAO_DESCONHECIDA;
    }
}

void QVLiberaExcecaoLancada() {
    if (!std::current_exception()) return;
    try {
        throw;
    } catch (CException* e) {
        if (e != nullptr) e->Delete();
    } catch (...) {
    }
}

}  // namespace zenta
