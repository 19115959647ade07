// The meeting point of the object transport and the interfaces it carries.
// The transport (this directory) moves opaque call messages between
// processes; each interface library registers, for its IID, how to build a
// client-side proxy over a channel and how to run one call message on a real
// object (the stub). The transport never looks inside a message.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <zenta/Unknwn.h>

namespace zenta::rpc {

// A connection to one object in another process.
class CanalObjeto {
public:
    virtual ~CanalObjeto() = default;
    // Runs method `slot` (its position in the vtable, IUnknown's three
    // counted) of interface `iid` on the remote object. `entrada` holds the
    // marshalled [in] arguments. Returns the method's HRESULT and puts its
    // marshalled [out] arguments in `saida`; a failure of the transport
    // itself gives an RPC_E_* / HR_RPC_S_* code and leaves `saida` empty.
    virtual HRESULT Chama(REFIID iid, ULONG slot, std::string_view entrada, std::string& saida) = 0;
};

// Builds a proxy implementing `iid` over `canal`. The proxy keeps the channel
// alive; when the proxy's own count reaches zero it destroys itself and drops
// its reference to the channel, and the last reference releases the remote
// object. Returns E_NOINTERFACE for an IID it does not implement.
using CriaProxyFn = HRESULT (*)(std::shared_ptr<CanalObjeto> canal, REFIID iid, void** ppv);

// Runs one call message on `objeto` (an interface pointer of the registered
// IID): unmarshals [in] arguments, calls method `slot`, marshals [out]
// arguments into `saida` (also when the method fails) and returns the
// method's HRESULT. A message that does not fit the method (truncated,
// counts beyond the message, unknown slot) is refused with
// HR_RPC_X_BAD_STUB_DATA before the method runs; nothing it allocated leaks.
using DespachaFn = HRESULT (*)(IUnknown* objeto, ULONG slot, std::string_view entrada, std::string& saida);

struct InterfaceRemota {
    CriaProxyFn criaProxy;
    DespachaFn despacha;
};

// Registers the proxy and stub of `iid` (replacing any earlier entry).
void RegistraInterfaceRemota(REFIID iid, InterfaceRemota funcoes);
// The entry of `iid`; null when none was registered.
const InterfaceRemota* InterfaceRemotaDe(REFIID iid);

}  // namespace zenta::rpc
