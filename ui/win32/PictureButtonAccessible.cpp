#include "PictureButtonAccessible.h"

namespace {

// Loaded when a screen reader first asks, so that a start without one loads neither library.
template <typename Function> Function libraryFunction(const wchar_t *library, const char *name)
{
    const HMODULE module = LoadLibraryW(library);
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)))
               : nullptr;
}

bool isSelf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

} // namespace

LRESULT PictureButtonAccessible::answer(HWND window, WPARAM flags)
{
    // The object is handed to the screen reader through COM, which the thread must have begun.
    static const bool comReady = [] {
        const auto initialise =
            libraryFunction<HRESULT(WINAPI *)(void *, DWORD)>(L"ole32.dll", "CoInitializeEx");
        return initialise && SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED));
    }();
    static const auto createStandard = libraryFunction<decltype(&CreateStdAccessibleObject)>(
        L"oleacc.dll", "CreateStdAccessibleObject");
    static const auto resultFromObject =
        libraryFunction<decltype(&LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    IAccessible *standard = nullptr;
    if (!comReady || !createStandard || !resultFromObject ||
        FAILED(createStandard(window, OBJID_CLIENT, __uuidof(IAccessible),
                              reinterpret_cast<void **>(&standard))))
        return 0;
    auto *accessible = new PictureButtonAccessible(window, standard);
    const LRESULT result = resultFromObject(__uuidof(IAccessible), flags, accessible);
    accessible->Release();
    return result < 0 ? 0 : result;
}

HRESULT PictureButtonAccessible::QueryInterface(REFIID id, void **object)
{
    if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible *>(this);
        AddRef();
        return S_OK;
    }
    // Nothing of the standard object's own: COM would marshal that object instead of this one.
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PictureButtonAccessible::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG PictureButtonAccessible::Release()
{
    const auto left = static_cast<ULONG>(InterlockedDecrement(&m_references));
    if (left == 0)
        delete this;
    return left;
}

HRESULT PictureButtonAccessible::get_accRole(VARIANT child, VARIANT *role)
{
    if (!isSelf(child))
        return m_standard->get_accRole(child, role);
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
}

HRESULT PictureButtonAccessible::get_accDefaultAction(VARIANT child, BSTR *action)
{
    if (!isSelf(child))
        return m_standard->get_accDefaultAction(child, action);
    static const auto allocate =
        libraryFunction<BSTR(WINAPI *)(const OLECHAR *)>(L"oleaut32.dll", "SysAllocString");
    *action = allocate ? allocate(L"Press") : nullptr;
    return *action ? S_OK : E_OUTOFMEMORY;
}

// Pressed as by the mouse, so that a disabled window, as every window is while the program
// works, takes no press from a screen reader either.
HRESULT PictureButtonAccessible::accDoDefaultAction(VARIANT child)
{
    if (!isSelf(child))
        return m_standard->accDoDefaultAction(child);
    PostMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    PostMessageW(m_window, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    return S_OK;
}

// Everything else is the standard object's.
HRESULT PictureButtonAccessible::GetTypeInfoCount(UINT *count)
{
    return m_standard->GetTypeInfoCount(count);
}
HRESULT PictureButtonAccessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo **info)
{
    return m_standard->GetTypeInfo(index, locale, info);
}
HRESULT PictureButtonAccessible::GetIDsOfNames(REFIID id, LPOLESTR *names, UINT count, LCID locale,
                                               DISPID *ids)
{
    return m_standard->GetIDsOfNames(id, names, count, locale, ids);
}
HRESULT PictureButtonAccessible::Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                        DISPPARAMS *parameters, VARIANT *result,
                                        EXCEPINFO *exception, UINT *argumentError)
{
    return m_standard->Invoke(member, id, locale, flags, parameters, result, exception,
                              argumentError);
}
HRESULT PictureButtonAccessible::get_accParent(IDispatch **parent)
{
    return m_standard->get_accParent(parent);
}
HRESULT PictureButtonAccessible::get_accChildCount(long *count)
{
    return m_standard->get_accChildCount(count);
}
HRESULT PictureButtonAccessible::get_accChild(VARIANT child, IDispatch **dispatch)
{
    return m_standard->get_accChild(child, dispatch);
}
HRESULT PictureButtonAccessible::get_accName(VARIANT child, BSTR *name)
{
    return m_standard->get_accName(child, name);
}
HRESULT PictureButtonAccessible::get_accValue(VARIANT child, BSTR *value)
{
    return m_standard->get_accValue(child, value);
}
HRESULT PictureButtonAccessible::get_accDescription(VARIANT child, BSTR *description)
{
    return m_standard->get_accDescription(child, description);
}
HRESULT PictureButtonAccessible::get_accState(VARIANT child, VARIANT *state)
{
    return m_standard->get_accState(child, state);
}
HRESULT PictureButtonAccessible::get_accHelp(VARIANT child, BSTR *help)
{
    return m_standard->get_accHelp(child, help);
}
HRESULT PictureButtonAccessible::get_accHelpTopic(BSTR *file, VARIANT child, long *topic)
{
    return m_standard->get_accHelpTopic(file, child, topic);
}
HRESULT PictureButtonAccessible::get_accKeyboardShortcut(VARIANT child, BSTR *shortcut)
{
    return m_standard->get_accKeyboardShortcut(child, shortcut);
}
HRESULT PictureButtonAccessible::get_accFocus(VARIANT *child)
{
    return m_standard->get_accFocus(child);
}
HRESULT PictureButtonAccessible::get_accSelection(VARIANT *children)
{
    return m_standard->get_accSelection(children);
}
HRESULT PictureButtonAccessible::accSelect(long flags, VARIANT child)
{
    return m_standard->accSelect(flags, child);
}
HRESULT PictureButtonAccessible::accLocation(long *left, long *top, long *width, long *height,
                                             VARIANT child)
{
    return m_standard->accLocation(left, top, width, height, child);
}
HRESULT PictureButtonAccessible::accNavigate(long direction, VARIANT start, VARIANT *end)
{
    return m_standard->accNavigate(direction, start, end);
}
HRESULT PictureButtonAccessible::accHitTest(long left, long top, VARIANT *child)
{
    return m_standard->accHitTest(left, top, child);
}
HRESULT PictureButtonAccessible::put_accName(VARIANT child, BSTR name)
{
    return m_standard->put_accName(child, name);
}
HRESULT PictureButtonAccessible::put_accValue(VARIANT child, BSTR value)
{
    return m_standard->put_accValue(child, value);
}
