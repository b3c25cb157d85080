// Accessibility: a small accessible object of our own answers WM_GETOBJECT for the client area of
// a card button and of the board-size toolbar: the platform's standard objects know neither a
// card's name nor its state, and have no name for a button that carries only a picture. What is
// not ours to say (the parent, navigation from the window itself) comes from the platform's
// standard object. The object is a plain record with the IAccessible method table, as the
// program's other COM objects are.
#include "game/card_accessible.h"

#include "game/board.h"
#include "game/card_button.h"
#include "game/card_face.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"

#include <oleacc.h>

namespace {

struct Accessible;
using Self = Accessible*;

// The method table of IAccessible (after IUnknown and IDispatch), in its order.
struct AccessibleMethods {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(Self, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(Self);
    ULONG(STDMETHODCALLTYPE* Release)(Self);
    HRESULT(STDMETHODCALLTYPE* GetTypeInfoCount)(Self, UINT*);
    HRESULT(STDMETHODCALLTYPE* GetTypeInfo)(Self, UINT, LCID, ITypeInfo**);
    HRESULT(STDMETHODCALLTYPE* GetIDsOfNames)(Self, REFIID, LPOLESTR*, UINT, LCID, DISPID*);
    HRESULT(STDMETHODCALLTYPE* Invoke)(Self, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*);
    HRESULT(STDMETHODCALLTYPE* get_accParent)(Self, IDispatch**);
    HRESULT(STDMETHODCALLTYPE* get_accChildCount)(Self, long*);
    HRESULT(STDMETHODCALLTYPE* get_accChild)(Self, VARIANT, IDispatch**);
    HRESULT(STDMETHODCALLTYPE* get_accName)(Self, VARIANT, BSTR*);
    HRESULT(STDMETHODCALLTYPE* get_accValue)(Self, VARIANT, BSTR*);
    HRESULT(STDMETHODCALLTYPE* get_accDescription)(Self, VARIANT, BSTR*);
    HRESULT(STDMETHODCALLTYPE* get_accRole)(Self, VARIANT, VARIANT*);
    HRESULT(STDMETHODCALLTYPE* get_accState)(Self, VARIANT, VARIANT*);
    HRESULT(STDMETHODCALLTYPE* get_accHelp)(Self, VARIANT, BSTR*);
    HRESULT(STDMETHODCALLTYPE* get_accHelpTopic)(Self, BSTR*, VARIANT, long*);
    HRESULT(STDMETHODCALLTYPE* get_accKeyboardShortcut)(Self, VARIANT, BSTR*);
    HRESULT(STDMETHODCALLTYPE* get_accFocus)(Self, VARIANT*);
    HRESULT(STDMETHODCALLTYPE* get_accSelection)(Self, VARIANT*);
    HRESULT(STDMETHODCALLTYPE* get_accDefaultAction)(Self, VARIANT, BSTR*);
    HRESULT(STDMETHODCALLTYPE* accSelect)(Self, long, VARIANT);
    HRESULT(STDMETHODCALLTYPE* accLocation)(Self, long*, long*, long*, long*, VARIANT);
    HRESULT(STDMETHODCALLTYPE* accNavigate)(Self, long, VARIANT, VARIANT*);
    HRESULT(STDMETHODCALLTYPE* accHitTest)(Self, long, long, VARIANT*);
    HRESULT(STDMETHODCALLTYPE* accDoDefaultAction)(Self, VARIANT);
    HRESULT(STDMETHODCALLTYPE* put_accName)(Self, VARIANT, BSTR);
    HRESULT(STDMETHODCALLTYPE* put_accValue)(Self, VARIANT, BSTR);
};

struct Accessible {
    const AccessibleMethods* Methods;
    LONG References;
    HWND Window;
    const AccessibleSource* Source;
    IAccessible* Standard; // the platform's client object of the window; may be null
};

// The child a VARIANT names: 0 for the object itself, -1 for none of ours.
long ChildOf(Self self, const VARIANT& child)
{
    if (child.vt != VT_I4 || !IsWindow(self->Window))
        return -1;
    long id = child.lVal;
    return id >= 0 && id <= self->Source->ChildCount(self->Window) ? id : -1;
}

HRESULT Text(const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return text.empty() ? S_FALSE : (*out ? S_OK : E_OUTOFMEMORY);
}

HRESULT Number(long value, VARIANT* out)
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE QueryInterface(Self self, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
        *object = self;
        InterlockedIncrement(&self->References);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AddRef(Self self)
{
    return InterlockedIncrement(&self->References);
}

ULONG STDMETHODCALLTYPE Release(Self self)
{
    LONG left = InterlockedDecrement(&self->References);
    if (left == 0) {
        if (self->Standard)
            self->Standard->Release();
        delete self;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE GetTypeInfoCount(Self, UINT* count)
{
    if (count)
        *count = 0;
    return count ? S_OK : E_POINTER;
}

HRESULT STDMETHODCALLTYPE GetTypeInfo(Self, UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE GetIDsOfNames(Self, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Invoke(Self, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ParentOf(Self self, IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    return self->Standard ? self->Standard->get_accParent(parent) : S_FALSE;
}

HRESULT STDMETHODCALLTYPE GetChildCount(Self self, long* count)
{
    if (!count)
        return E_POINTER;
    *count = IsWindow(self->Window) ? self->Source->ChildCount(self->Window) : 0;
    return S_OK;
}

// The children are simple elements, reached through this object.
HRESULT STDMETHODCALLTYPE GetChild(Self self, VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    return ChildOf(self, child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT STDMETHODCALLTYPE GetName(Self self, VARIANT child, BSTR* name)
{
    long id = ChildOf(self, child);
    return id < 0 ? E_INVALIDARG : Text(self->Source->Name(self->Window, id), name);
}

HRESULT STDMETHODCALLTYPE GetNothing(Self self, VARIANT child, BSTR* text)
{
    if (text)
        *text = nullptr;
    return ChildOf(self, child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT STDMETHODCALLTYPE GetRole(Self self, VARIANT child, VARIANT* role)
{
    long id = ChildOf(self, child);
    return id < 0 ? E_INVALIDARG : Number(self->Source->Role(self->Window, id), role);
}

HRESULT STDMETHODCALLTYPE GetState(Self self, VARIANT child, VARIANT* state)
{
    long id = ChildOf(self, child);
    return id < 0 ? E_INVALIDARG : Number(self->Source->State(self->Window, id), state);
}

HRESULT STDMETHODCALLTYPE GetHelpTopic(Self, BSTR* file, VARIANT, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    return S_FALSE;
}

// The focused child, the object itself, or nothing when the focus is elsewhere.
HRESULT STDMETHODCALLTYPE FocusedChild(Self self, VARIANT* focus)
{
    if (!focus)
        return E_POINTER;
    VariantInit(focus);
    if (::GetFocus() != self->Window)
        return S_FALSE;
    for (long id = 1; id <= self->Source->ChildCount(self->Window); ++id)
        if (self->Source->State(self->Window, id) & STATE_SYSTEM_FOCUSED)
            return Number(id, focus);
    return Number(CHILDID_SELF, focus);
}

HRESULT STDMETHODCALLTYPE GetSelection(Self, VARIANT* selection)
{
    if (selection)
        VariantInit(selection);
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE GetDefaultAction(Self self, VARIANT child, BSTR* action)
{
    long id = ChildOf(self, child);
    if (id < 0)
        return E_INVALIDARG;
    const wchar_t* text = self->Source->DefaultAction(self->Window, id);
    return Text(text ? text : L"", action);
}

HRESULT STDMETHODCALLTYPE Select(Self self, long flags, VARIANT child)
{
    long id = ChildOf(self, child);
    if (id < 0)
        return E_INVALIDARG;
    if (id == CHILDID_SELF && (flags & SELFLAG_TAKEFOCUS)) {
        SetFocus(self->Window);
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE Location(Self self, long* x, long* y, long* width, long* height, VARIANT child)
{
    long id = ChildOf(self, child);
    if (id < 0 || !x || !y || !width || !height)
        return E_INVALIDARG;
    if (id == CHILDID_SELF) {
        RECT client;
        GetClientRect(self->Window, &client);
        MapWindowPoints(self->Window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        *x = client.left, *y = client.top, *width = client.right - client.left, *height = client.bottom - client.top;
        return S_OK;
    }
    RECT rect = self->Source->ChildRect(self->Window, id);
    MapWindowPoints(self->Window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *x = rect.left, *y = rect.top, *width = rect.right - rect.left, *height = rect.bottom - rect.top;
    return S_OK;
}

// Between children: next and previous in order; from the object itself: what the standard says.
HRESULT STDMETHODCALLTYPE Navigate(Self self, long direction, VARIANT start, VARIANT* end)
{
    long id = ChildOf(self, start), count = IsWindow(self->Window) ? self->Source->ChildCount(self->Window) : 0;
    if (!end || id < 0)
        return E_INVALIDARG;
    VariantInit(end);
    long to = 0;
    if (id == CHILDID_SELF && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD))
        to = count == 0 ? 0 : direction == NAVDIR_FIRSTCHILD ? 1 : count;
    else if (id == CHILDID_SELF)
        return self->Standard ? self->Standard->accNavigate(direction, start, end) : S_FALSE;
    else if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT || direction == NAVDIR_DOWN)
        to = id < count ? id + 1 : 0;
    else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT || direction == NAVDIR_UP)
        to = id - 1;
    return to > 0 ? Number(to, end) : S_FALSE;
}

HRESULT STDMETHODCALLTYPE HitTest(Self self, long x, long y, VARIANT* at)
{
    if (!at)
        return E_POINTER;
    VariantInit(at);
    POINT point = {x, y};
    ScreenToClient(self->Window, &point);
    RECT client;
    GetClientRect(self->Window, &client);
    if (!PtInRect(&client, point))
        return S_FALSE;
    for (long id = 1; id <= self->Source->ChildCount(self->Window); ++id) {
        RECT rect = self->Source->ChildRect(self->Window, id);
        if (PtInRect(&rect, point))
            return Number(id, at);
    }
    return Number(CHILDID_SELF, at);
}

HRESULT STDMETHODCALLTYPE DoDefaultAction(Self self, VARIANT child)
{
    long id = ChildOf(self, child);
    if (id < 0)
        return E_INVALIDARG;
    if (!self->Source->DefaultAction(self->Window, id))
        return DISP_E_MEMBERNOTFOUND;
    self->Source->DoDefaultAction(self->Window, id);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PutText(Self, VARIANT, BSTR)
{
    return E_NOTIMPL;
}

const AccessibleMethods AccessibleTable = {
    QueryInterface, AddRef,        Release,      GetTypeInfoCount, GetTypeInfo,     GetIDsOfNames, Invoke,
    ParentOf,       GetChildCount, GetChild,     GetName,          GetNothing,      GetNothing,    GetRole,
    GetState,       GetNothing,    GetHelpTopic, GetNothing,       FocusedChild,    GetSelection,  GetDefaultAction,
    Select,         Location,      Navigate,     HitTest,          DoDefaultAction, PutText,       PutText};

// --- The cards ---

std::wstring Widen(const std::string& text, UINT codePage)
{
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L' ');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// A card's text as one line of plain text: RTF read through a hidden RichEdit control, line breaks
// and tabs as blanks, runs of blanks as one.
std::wstring PlainCardText(HWND card, const std::string& text)
{
    std::wstring plain;
    if (IsRichText(text)) {
        HWND richEdit = CreateHiddenRichEdit(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(card, GWLP_HINSTANCE)));
        if (richEdit) {
            LoadCardText(richEdit, text);
            plain = Widen(StreamOutUtf8Text(richEdit), CP_UTF8);
            DestroyWindow(richEdit);
        }
    } else {
        plain = Widen(text, CP_ACP);
    }
    std::wstring line;
    for (wchar_t c : plain) {
        bool blank = c == L' ' || c == L'\r' || c == L'\n' || c == L'\t' || c == 0x2028 || c == 0x2029;
        if (!blank)
            line += c;
        else if (!line.empty() && line.back() != L' ')
            line += L' ';
    }
    if (!line.empty() && line.back() == L' ')
        line.pop_back();
    return line;
}

int CountCards(HWND board)
{
    int rows = 0, columns = 0;
    return GetBoardShape(board, rows, columns) ? rows * columns : 0;
}

// The other card of the card's pair, or null.
HWND PairedCard(HWND card)
{
    HWND board = GetParent(card);
    int pair = GetWindowLongA(card, PairIndexSlot), count = CountCards(board);
    for (int id = 1; id <= count && pair >= 0; ++id) {
        HWND other = GetDlgItem(board, id);
        if (other && other != card && GetWindowLongA(other, PairIndexSlot) == pair)
            return other;
    }
    return nullptr;
}

bool IsFaceUp(HWND card)
{
    return card && GetWindowLongA(card, FaceUpSlot) != 0;
}

int CardChildCount(HWND)
{
    return 0;
}

std::wstring CardName(HWND card, long)
{
    return DescribeCard(card);
}

long CardRole(HWND, long)
{
    return ROLE_SYSTEM_PUSHBUTTON;
}

// Focusable; a turned card is pressed, and a found one can no longer be turned.
long CardState(HWND card, long)
{
    long state = STATE_SYSTEM_FOCUSABLE | (::GetFocus() == card ? STATE_SYSTEM_FOCUSED : 0);
    if (IsFaceUp(card))
        state |= STATE_SYSTEM_PRESSED | (IsFaceUp(PairedCard(card)) ? STATE_SYSTEM_READONLY : 0);
    return state;
}

RECT CardChildRect(HWND, long)
{
    return RECT();
}

const wchar_t* CardDefaultAction(HWND card, long)
{
    return IsFaceUp(card) ? nullptr : L"Turn";
}

// Turns the card as a click does.
void TurnCardAsClicked(HWND card, long)
{
    PostMessageA(GetParent(card), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(card), BN_CLICKED),
                 reinterpret_cast<LPARAM>(card));
}

const AccessibleSource CardSource = {CardChildCount, CardName,          CardRole,         CardState,
                                     CardChildRect,  CardDefaultAction, TurnCardAsClicked};

} // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleSource& source)
{
    if (static_cast<long>(lParam) != OBJID_CLIENT)
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    Accessible* object = new Accessible{&AccessibleTable, 1, window, &source, nullptr};
    void* standard = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible, &standard)))
        object->Standard = static_cast<IAccessible*>(standard);
    IUnknown* unknown = reinterpret_cast<IUnknown*>(object);
    LRESULT result = LresultFromObject(IID_IAccessible, wParam, unknown);
    unknown->Release();
    return result;
}

std::wstring DescribeCard(HWND card)
{
    HWND board = GetParent(card);
    std::wstring name = L"Card " + std::to_wstring(GetDlgCtrlID(card)) + L" of " + std::to_wstring(CountCards(board));
    const CardSet* cards = GetBoardCardSet(card);
    int pairIndex = GetWindowLongA(card, PairIndexSlot);
    if (!IsFaceUp(card) || !cards || pairIndex < 0 || static_cast<size_t>(pairIndex) >= cards->size())
        return name + L", face down";
    const CardPair& pair = (*cards)[pairIndex];
    int side = GetWindowLongA(card, SideSlot);
    std::wstring parts = PlainCardText(card, SelectCardFaceField(pair, side, pair.Text1, pair.Text2));
    const struct {
        const std::string& First;
        const std::string& Second;
        const wchar_t* Says;
    } media[] = {{pair.PictureFileName1, pair.PictureFileName2, L"picture"},
                 {pair.SoundFileName1, pair.SoundFileName2, L"sound"},
                 {pair.VideoFileName1, pair.VideoFileName2, L"video"}};
    for (const auto& medium : media)
        if (!SelectCardFaceField(pair, side, medium.First, medium.Second).empty())
            parts += (parts.empty() ? L"" : L", ") + std::wstring(medium.Says);
    if (parts.empty())
        parts = L"empty";
    if (IsFaceUp(PairedCard(card)))
        parts += L", found";
    return name + L": " + parts;
}

LRESULT AnswerCardGetObject(HWND card, WPARAM wParam, LPARAM lParam)
{
    return AnswerGetObject(card, wParam, lParam, CardSource);
}

void NotifyCardTurned(HWND card)
{
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, card, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, card, OBJID_CLIENT, CHILDID_SELF);
    HWND other = PairedCard(card);
    if (other)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, other, OBJID_CLIENT, CHILDID_SELF);
    if (::GetFocus() == card)
        NotifyFocus(card);
}

void NotifyFocus(HWND window, long child)
{
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, child);
}
