#pragma once
// The UPnP NAT interfaces of hnetcfg.dll, which MinGW-w64 ships no header for:
// declared here in the order of the Windows SDK's natupnp.h, as documented (each
// a dual interface: IDispatch first, then its own methods in this order).

#include <windows.h>
#include <oaidl.h>

namespace kestrum::win32::natupnp {

// {AE1E00AA-3FD5-403C-8A27-2BBDC30CD0E1}
inline constexpr CLSID kClsidUpnpNat{0xAE1E00AA, 0x3FD5, 0x403C, {0x8A, 0x27, 0x2B, 0xBD, 0xC3, 0x0C, 0xD0, 0xE1}};
// {B171C812-CC76-485A-94D8-B6B3A2794E99}
inline constexpr IID kIidUpnpNat{0xB171C812, 0xCC76, 0x485A, {0x94, 0xD8, 0xB6, 0xB3, 0xA2, 0x79, 0x4E, 0x99}};
// {6F10711F-729B-41E5-93B8-F21D0F818DF1}
inline constexpr IID kIidStaticPortMapping{
    0x6F10711F, 0x729B, 0x41E5, {0x93, 0xB8, 0xF2, 0x1D, 0x0F, 0x81, 0x8D, 0xF1}};

// COM objects are released, never deleted: no destructor belongs in their tables,
// and none is open to callers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class IStaticPortMapping : public IDispatch {
public:
    virtual HRESULT STDMETHODCALLTYPE get_ExternalIPAddress(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ExternalPort(LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InternalPort(LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Protocol(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InternalClient(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Description(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE EditInternalClient(BSTR client) = 0;
    virtual HRESULT STDMETHODCALLTYPE Enable(VARIANT_BOOL enable) = 0;
    virtual HRESULT STDMETHODCALLTYPE EditDescription(BSTR description) = 0;
    virtual HRESULT STDMETHODCALLTYPE EditInternalPort(LONG port) = 0;

protected:
    ~IStaticPortMapping() = default;
};

class IStaticPortMappingCollection : public IDispatch {
public:
    // NOLINTNEXTLINE(bugprone-reserved-identifier): the documented name
    virtual HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Item(LONG externalPort, BSTR protocol, IStaticPortMapping** mapping) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Remove(LONG externalPort, BSTR protocol) = 0;
    virtual HRESULT STDMETHODCALLTYPE Add(LONG externalPort, BSTR protocol, LONG internalPort, BSTR internalClient,
                                          VARIANT_BOOL enabled, BSTR description, IStaticPortMapping** mapping) = 0;

protected:
    ~IStaticPortMappingCollection() = default;
};

class IUPnPNAT : public IDispatch {
public:
    // Null (with S_OK) when no router answered.
    virtual HRESULT STDMETHODCALLTYPE get_StaticPortMappingCollection(IStaticPortMappingCollection** collection) = 0;
    // Not used here: only their place in the table matters.
    virtual HRESULT STDMETHODCALLTYPE get_DynamicPortMappingCollection(IDispatch** collection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NATEventManager(IDispatch** manager) = 0;

protected:
    ~IUPnPNAT() = default;
};

#pragma GCC diagnostic pop

}  // namespace kestrum::win32::natupnp
