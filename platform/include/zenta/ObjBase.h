// COM library calls a client needs: apartment set-up, object creation and the
// task allocator. Objects are served in-process from a class table that the
// server library fills when it is loaded.
#pragma once

#include <zenta/Unknwn.h>

enum COINIT : DWORD {
    COINIT_APARTMENTTHREADED = 0x2,
    COINIT_MULTITHREADED = 0x0,
    COINIT_DISABLE_OLE1DDE = 0x4,
    COINIT_SPEED_OVER_MEMORY = 0x8,
};

enum CLSCTX : DWORD {
    CLSCTX_INPROC_SERVER = 0x1,
    CLSCTX_INPROC_HANDLER = 0x2,
    CLSCTX_LOCAL_SERVER = 0x4,
    CLSCTX_REMOTE_SERVER = 0x10,
    CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
    CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
};

STDAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
STDAPI_(void) CoUninitialize();
STDAPI CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);
STDAPI CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid, LPVOID* ppv);

// Security values of remote activation and of a proxy's calls.
#define RPC_C_AUTHN_NONE 0u
#define RPC_C_AUTHN_WINNT 10u
#define RPC_C_AUTHN_DEFAULT 0xFFFFFFFFu
#define RPC_C_AUTHZ_NONE 0u
#define RPC_C_AUTHN_LEVEL_DEFAULT 0u
#define RPC_C_AUTHN_LEVEL_NONE 1u
#define RPC_C_AUTHN_LEVEL_PKT_PRIVACY 6u
#define RPC_C_IMP_LEVEL_IMPERSONATE 3u
#define EOAC_NONE 0u

struct COAUTHINFO {
    DWORD dwAuthnSvc;
    DWORD dwAuthzSvc;
    LPWSTR pwszServerPrincName;
    DWORD dwAuthnLevel;
    DWORD dwImpersonationLevel;
    void* pAuthIdentityData;
    DWORD dwCapabilities;
};

// Where to create an object: a machine name (null: this machine) and how to
// authenticate there.
struct COSERVERINFO {
    DWORD dwReserved1;
    LPWSTR pwszName;
    COAUTHINFO* pAuthInfo;
    DWORD dwReserved2;
};

// One interface asked of a new object and what came back for it.
struct MULTI_QI {
    const IID* pIID;
    IUnknown* pItf;
    HRESULT hr;
};

// Creates an object and asks it for each interface of `pResults`. Objects
// are served in-process; a server description naming another machine, or
// asking for an authentication service other than none, WinNT or default,
// is refused with E_INVALIDARG, as an unsupported description is on other
// hosts. S_OK when every interface came, CO_S_NOTALLINTERFACES when some
// did, E_NOINTERFACE when none did.
STDAPI CoCreateInstanceEx(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsCtx, COSERVERINFO* pServerInfo,
                          DWORD dwCount, MULTI_QI* pResults);

// Sets the security of a proxy's calls. Objects served in-process have no
// proxy and nothing to secure: any interface is accepted as it is.
STDAPI CoSetProxyBlanket(IUnknown* pProxy, DWORD dwAuthnSvc, DWORD dwAuthzSvc, LPWSTR pServerPrincName,
                         DWORD dwAuthnLevel, DWORD dwImpLevel, void* pAuthInfo, DWORD dwCapabilities);

STDAPI_(LPVOID) CoTaskMemAlloc(size_t cb);
STDAPI_(LPVOID) CoTaskMemRealloc(LPVOID pv, size_t cb);
STDAPI_(void) CoTaskMemFree(LPVOID pv);
