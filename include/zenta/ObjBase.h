// COM library calls: apartment set-up, object creation in-process (from a
// class table the server library fills when it is loaded) or in a local or
// remote server process (platform/rpc), a server's class registration, and
// the task allocator.
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

STDAPI ZENTA_API CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
STDAPI_(void) ZENTA_API CoUninitialize();
// With CLSCTX_LOCAL_SERVER in the context and a local server for the class
// (registered under LocalServer32, or one listening), the object is created
// in that server, started first when none runs, and the caller gets a proxy;
// otherwise in-process.
STDAPI ZENTA_API CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);
STDAPI ZENTA_API CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid, LPVOID* ppv);

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

// Creates an object and asks it for each interface of `pResults`. A server
// description naming a machine creates the object in the class's server
// running there (CLSCTX_REMOTE_SERVER; the proxy is made for the first
// interface asked for); a description asking for an authentication service
// other than none, WinNT or default is refused with E_INVALIDARG, as an
// unsupported description is on other hosts. S_OK when every interface
// came, CO_S_NOTALLINTERFACES when some did, E_NOINTERFACE when none did.
STDAPI ZENTA_API CoCreateInstanceEx(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsCtx, COSERVERINFO* pServerInfo,
                          DWORD dwCount, MULTI_QI* pResults);

// Sets the security of a proxy's calls. Objects served in-process have no
// proxy and nothing to secure: any interface is accepted as it is.
STDAPI ZENTA_API CoSetProxyBlanket(IUnknown* pProxy, DWORD dwAuthnSvc, DWORD dwAuthzSvc, LPWSTR pServerPrincName,
                         DWORD dwAuthnLevel, DWORD dwImpLevel, void* pAuthInfo, DWORD dwCapabilities);

// ---- Local-server side -----------------------------------------------------
enum REGCLS : DWORD {
    REGCLS_SINGLEUSE = 0,
    REGCLS_MULTIPLEUSE = 1,
    REGCLS_MULTI_SEPARATE = 2,
    REGCLS_SUSPENDED = 4,
    REGCLS_SURROGATE = 8,
};

// Process security. Only the authentication and impersonation levels are
// used: they decide how the process's endpoints accept callers (see
// QVRpc.h). Called once per process; a second call gives RPC_E_TOO_LATE.
#define RPC_E_TOO_LATE static_cast<HRESULT>(0x80010119u)
STDAPI ZENTA_API CoInitializeSecurity(void* pSecDesc, LONG cAuthSvc, void* asAuthSvc, void* pReserved1, DWORD dwAuthnLevel,
                            DWORD dwImpLevel, void* pAuthList, DWORD dwCapabilities, void* pReserved3);

// Offers a class object to other processes (CLSCTX_LOCAL_SERVER) or to this
// one (CLSCTX_INPROC_SERVER). With REGCLS_SUSPENDED the class is not offered
// until CoResumeClassObjects. `lpdwRegister` receives the cookie for
// CoRevokeClassObject.
STDAPI ZENTA_API CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags,
                             LPDWORD lpdwRegister);
STDAPI ZENTA_API CoRevokeClassObject(DWORD dwRegister);
// Starts offering every suspended class: the process's endpoints listen.
STDAPI ZENTA_API CoResumeClassObjects();
// Stops creating new objects for other processes (activation requests are
// answered CO_E_SERVER_STOPPING); objects already out keep working.
STDAPI ZENTA_API CoSuspendClassObjects();

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hex) into `lpsz`, which
// holds `cchMax` characters; answers the characters written with the
// terminator, 0 when the buffer is too small.
STDAPI_(int) ZENTA_API StringFromGUID2(REFGUID rguid, char* lpsz, int cchMax);
// The GUID of a text in that form (hex of either case); CO_E_CLASSSTRING when
// the text is not one.
#define CO_E_CLASSSTRING static_cast<HRESULT>(0x800401F3u)
STDAPI ZENTA_API CLSIDFromString(const char* lpsz, CLSID* pclsid);

STDAPI_(LPVOID) ZENTA_API CoTaskMemAlloc(size_t cb);
STDAPI_(LPVOID) ZENTA_API CoTaskMemRealloc(LPVOID pv, size_t cb);
STDAPI_(void) ZENTA_API CoTaskMemFree(LPVOID pv);
