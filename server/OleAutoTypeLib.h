// Type libraries: loading one and registering it in the classes registry.
//
// A library file is this system's own format (server/QVBibliotecaTipos.h);
// a program carries its library as resource "TYPELIB" 1 (or the number
// after a final "\N" in the path given to LoadTypeLib). ITypeLib here offers
// the library-level questions only: how many types, their kind, GUID and
// name, and the library's attributes.
//
// Registration writes, below the classes key of the machine
// (HKLM\Software\Classes, what HKEY_CLASSES_ROOT writes to) or of the user
// (HKCU\Software\Classes for the ...ForUser calls):
//   TypeLib\{LIBID}\<major>.<minor>             = the library's name
//   TypeLib\{LIBID}\<major>.<minor>\FLAGS       = the library flags, decimal
//   TypeLib\{LIBID}\<major>.<minor>\HELPDIR     = the help directory
//   TypeLib\{LIBID}\<major>.<minor>\<lcid>\win64 = the library's file
//   Interface\{IID}                   = the interface's name, and per interface
//   Interface\{IID}\ProxyStubClsid32  = the type-library marshaller's CLSID
//   Interface\{IID}\TypeLib           = {LIBID}, value "Version" = "<major>.<minor>"
// The locale key is the library's LCID in hexadecimal. An interface whose
// key already names another library is left to that library.
#pragma once

#include <zenta/Unknwn.h>
#include <zenta/WinTypes.h>

#define TYPE_E_INVDATAREAD static_cast<HRESULT>(0x80028018u)
#define TYPE_E_UNSUPFORMAT static_cast<HRESULT>(0x80028019u)
#define TYPE_E_REGISTRYACCESS static_cast<HRESULT>(0x8002801Cu)
#define TYPE_E_ELEMENTNOTFOUND static_cast<HRESULT>(0x8002802Bu)
#define TYPE_E_CANTLOADLIBRARY static_cast<HRESULT>(0x80029C4Au)

enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32 = 1, SYS_MAC = 2, SYS_WIN64 = 3 };

enum TYPEKIND {
    TKIND_ENUM = 0,
    TKIND_RECORD = 1,
    TKIND_MODULE = 2,
    TKIND_INTERFACE = 3,
    TKIND_DISPATCH = 4,
    TKIND_COCLASS = 5,
    TKIND_ALIAS = 6,
    TKIND_UNION = 7,
};

struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};

// {00020402-0000-0000-C000-000000000046}
inline constexpr IID IID_ITypeLib = {0x00020402, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The type-library marshaller: {00020424-0000-0000-C000-000000000046}
inline constexpr CLSID CLSID_PSOAInterface = {
    0x00020424, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct ITypeLib : IUnknown {
    // Records first, then interfaces, in the library's order.
    virtual UINT STDMETHODCALLTYPE GetTypeInfoCount() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* pTKind) = 0;
    // The GUID of type `index` (GUID_NULL for a record): what the type
    // information's attributes would give.
    virtual HRESULT STDMETHODCALLTYPE GetTypeGuid(UINT index, GUID* pGuid) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** ppTLibAttr) = 0;
    // index -1: the library itself. Only the name is kept: the other outputs
    // come back null / 0.
    virtual HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString,
                                                       DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;
    virtual void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* pTLibAttr) = 0;

protected:
    ~ITypeLib() = default;
};

STDAPI LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib);
STDAPI RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir);
STDAPI RegisterTypeLibForUser(ITypeLib* ptlib, OLECHAR* szFullPath, OLECHAR* szHelpDir);
// Removes the library's version key for `lcid`/`syskind` (and the version and
// library keys when nothing else is left in them) and every interface key
// that names this library and version. TYPE_E_REGISTRYACCESS when that
// version is not registered.
STDAPI UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind);
STDAPI UnRegisterTypeLibForUser(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind);
