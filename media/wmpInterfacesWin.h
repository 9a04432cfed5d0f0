// The Windows Media Player control as this program sees it: the two class
// and interface identifiers it asks for and the interfaces it calls through.
// COM calls by vtable slot, so every method is listed in the control's
// published order, also those never called, up to the end of each interface.
// Kept in their own namespace so they never meet another declaration of the
// same interfaces (the tests compare them against one).
#pragma once

#include <ole2.h>
#include <windows.h>

namespace wmp {

// {6BF52A52-394A-11D3-B153-00C04F79FAA6}: the Windows Media Player control.
inline const CLSID CLSID_WindowsMediaPlayer = {
    0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
// {6BF52A4F-394A-11D3-B153-00C04F79FAA6}: IWMPPlayer.
inline const IID IID_IWMPPlayer = {0x6BF52A4F, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};

// Pointer types of interfaces this program never calls into.
using Opaque = IDispatch;

struct IWMPControls : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_isAvailable(BSTR item, VARIANT_BOOL* available) = 0;
    virtual HRESULT STDMETHODCALLTYPE play() = 0;
    virtual HRESULT STDMETHODCALLTYPE stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE pause() = 0;
    virtual HRESULT STDMETHODCALLTYPE fastForward() = 0;
    virtual HRESULT STDMETHODCALLTYPE fastReverse() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentPosition(double* seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_currentPosition(double seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentPositionString(BSTR* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE next() = 0;
    virtual HRESULT STDMETHODCALLTYPE previous() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentItem(Opaque** media) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_currentItem(Opaque* media) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentMarker(long* marker) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_currentMarker(long marker) = 0;
    virtual HRESULT STDMETHODCALLTYPE playItem(Opaque* media) = 0;
};

struct IWMPCore : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE close() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_URL(BSTR* url) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_URL(BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_openState(long* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_playState(long* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** controls) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_settings(Opaque** settings) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentMedia(Opaque** media) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_currentMedia(Opaque* media) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_mediaCollection(Opaque** collection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_playlistCollection(Opaque** collection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_versionInfo(BSTR* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE launchURL(BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_network(Opaque** network) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentPlaylist(Opaque** playlist) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_currentPlaylist(Opaque* playlist) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_cdromCollection(Opaque** collection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_closedCaption(Opaque** caption) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_isOnline(VARIANT_BOOL* online) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_error(Opaque** error) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_status(BSTR* status) = 0;
};

struct IWMPPlayer : public IWMPCore {
    virtual HRESULT STDMETHODCALLTYPE get_enabled(VARIANT_BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_enabled(VARIANT_BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_fullScreen(VARIANT_BOOL* fullScreen) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_fullScreen(VARIANT_BOOL fullScreen) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_enableContextMenu(VARIANT_BOOL* enable) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_enableContextMenu(VARIANT_BOOL enable) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_uiMode(BSTR mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_uiMode(BSTR* mode) = 0;
};

}  // namespace wmp
