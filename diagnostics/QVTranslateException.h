// Turns the exception being handled into an HRESULT.
#pragma once

#include <zenta/WinTypes.h>

namespace zenta {

// Call only inside a catch handler (typically `catch (...)`): rethrows the
// current exception and maps it, in this order:
//   _com_error -> its HRESULT; CQVExceptionEx -> its hr;
//   CQVException* -> 0x8004EA61 when its system error is 0, else that error
//   OR 0x80040000; CFileException* -> its Windows error n: n when n < 0,
//   0x8004EA63 when n is 0 (a thrown exception is never a success), else
//   (n AND 0xFFFF) OR 0x80070000; CMemoryException* -> 0x8004EA62;
//   CInvalidArgException* -> 0x8004EA67; CException* -> 0x8004EA63;
//   a thrown long or HRESULT -> the value itself; std::bad_alloc ->
//   0x8004EA64; std::exception -> 0x8004EA65; anything else -> 0x8004EA66.
// Exceptions thrown as pointers are not deleted: the catching code owns them.
// Called with no exception being handled, answers E_UNEXPECTED.
HRESULT QVTranslateThrownExceptionToHresult();

// Call only inside a catch handler, after the translation: frees an
// exception that was thrown as a pointer to a CException (the thrower
// allocated it; whoever catches it last must free it). Other exceptions are
// left alone.
void QVLiberaExcecaoLancada();

}  // namespace zenta
