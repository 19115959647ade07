// OLE Automation: BSTR handling and the currency/decimal conversions and
// arithmetic the system uses. Conversions follow OLE's rules: values that do
// not fit give DISP_E_OVERFLOW, texts that do not parse DISP_E_TYPEMISMATCH,
// and fractions beyond the target's precision round half to even.
#pragma once

#include <zenta/WinTypes.h>

// ---- BSTR: length-prefixed UTF-16, owned as COM owns it -------------------
STDAPI_(BSTR) SysAllocString(const OLECHAR* psz);
STDAPI_(BSTR) SysAllocStringLen(const OLECHAR* pch, UINT cch);
STDAPI_(void) SysFreeString(BSTR bstr);
STDAPI_(UINT) SysStringLen(BSTR bstr);
STDAPI_(UINT) SysStringByteLen(BSTR bstr);

// ---- Locales ---------------------------------------------------------------
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define LANG_PORTUGUESE 0x16
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_ENGLISH_US 0x01
#define SUBLANG_PORTUGUESE_BRAZILIAN 0x01
#define SORT_DEFAULT 0x0
#define MAKELANGID(p, s) ((static_cast<WORD>(s) << 10) | static_cast<WORD>(p))
#define MAKELCID(lgid, srtid) (static_cast<DWORD>((static_cast<DWORD>(static_cast<WORD>(srtid)) << 16) | static_cast<DWORD>(static_cast<WORD>(lgid))))
#define LOCALE_NOUSEROVERRIDE 0x80000000u

// ---- Currency --------------------------------------------------------------
STDAPI VarCyFromR8(double dblIn, CY* pcyOut);
STDAPI VarCyFromR4(float fltIn, CY* pcyOut);
STDAPI VarCyFromI4(LONG lIn, CY* pcyOut);
STDAPI VarR8FromCy(CY cyIn, double* pdblOut);
STDAPI VarCyFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, CY* pcyOut);
STDAPI VarBstrFromCy(CY cyIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
STDAPI VarCyAdd(CY cyLeft, CY cyRight, CY* pcyResult);
STDAPI VarCySub(CY cyLeft, CY cyRight, CY* pcyResult);
STDAPI VarCyMul(CY cyLeft, CY cyRight, CY* pcyResult);

// ---- Decimal ---------------------------------------------------------------
STDAPI VarDecFromCy(CY cyIn, DECIMAL* pdecOut);
STDAPI VarDecFromR8(double dblIn, DECIMAL* pdecOut);
STDAPI VarDecFromI2(SHORT sIn, DECIMAL* pdecOut);
STDAPI VarDecMul(const DECIMAL* pdecLeft, const DECIMAL* pdecRight, DECIMAL* pdecResult);
STDAPI VarDecDiv(const DECIMAL* pdecLeft, const DECIMAL* pdecRight, DECIMAL* pdecResult);
STDAPI VarCyFromDec(const DECIMAL* pdecIn, CY* pcyOut);
