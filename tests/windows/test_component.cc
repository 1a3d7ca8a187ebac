// A PDF document component for tests: an in-process server that registers
// under the real component's class and serves, instead of a PDF's outline,
// the outline written in the file it is asked to open. The file is UTF-8
// text, one directive a line ('#' starts a comment):
//
//   item DEPTH PAGE TITLE   an outline node, in pre-order; DEPTH 0 is the
//                           top level. PAGE "-" makes GetPage store nothing.
//                           In TITLE, \0 is a NUL and \\ a backslash.
//   open STATUS [TEXT]      Open returns STATUS (hex) and, with TEXT, leaves
//                           TEXT as the error description.
//   refuse-outline          the document offers no IPdfOutline.
//   no-item-after-last      MoveToNextSibling on the last sibling leaves the
//                           cursor on no item, instead of standing still.
//   log                     every call is recorded, one a line, in the file
//                           PATH.calls beside the opened PATH, and so is the
//                           state of the three named events seen from here.
//
// A file that cannot be read makes Open fail with the system's status and
// no description.

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "component/pdf_component.h"

namespace {

LONG g_objects = 0;  // live objects and server locks, for DllCanUnloadNow

std::string Utf8(const std::wstring& s) {
  if (s.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr,
                      nullptr);
  return out;
}

std::wstring Wide(const std::string& s) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
  return out;
}

// For the log: a title in UTF-8 with its NULs shown.
std::string Printable(const std::wstring& title) {
  std::string out;
  for (char c : Utf8(title)) out += c == '\0' ? std::string("\\0") : std::string(1, c);
  return out;
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes->append(buffer, read);
  CloseHandle(file);
  return true;
}

struct Node {
  std::wstring title;
  LONG page = 0;
  bool storesPage = true;
  std::vector<std::unique_ptr<Node>> children;
  Node* parent = nullptr;
  IPdfOutlineItem* item = nullptr;  // while the walker holds one
};

struct Fixture {
  Node root;
  HRESULT openStatus = S_OK;
  std::wstring openText;
  bool refuseOutline = false;
  bool noItemAfterLast = false;
  bool log = false;
};

std::wstring Unescape(const std::wstring& s) {
  std::wstring out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'\\' && i + 1 < s.size() && (s[i + 1] == L'0' || s[i + 1] == L'\\')) {
      out += s[i + 1] == L'0' ? L'\0' : L'\\';
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Splits off the first space-separated word of `rest`.
std::string Word(std::string* rest) {
  std::size_t end = rest->find(' ');
  std::string word = rest->substr(0, end);
  *rest = end == std::string::npos ? std::string() : rest->substr(end + 1);
  return word;
}

void Parse(const std::string& text, Fixture* fixture) {
  std::vector<Node*> open = {&fixture->root};  // the last node of each depth
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string rest = line;
    std::string directive = Word(&rest);
    if (directive == "item") {
      std::size_t depth = std::stoul(Word(&rest));
      std::string page = Word(&rest);
      if (depth + 1 > open.size()) continue;  // no parent: ignored
      open.resize(depth + 1);
      auto node = std::make_unique<Node>();
      node->storesPage = page != "-";
      if (node->storesPage) node->page = std::stol(page);
      node->title = Unescape(Wide(rest));
      node->parent = open.back();
      open.push_back(node.get());
      open[depth]->children.push_back(std::move(node));
    } else if (directive == "open") {
      fixture->openStatus = static_cast<HRESULT>(std::stoul(Word(&rest), nullptr, 16));
      fixture->openText = Wide(rest);
    } else if (directive == "refuse-outline") {
      fixture->refuseOutline = true;
    } else if (directive == "no-item-after-last") {
      fixture->noItemAfterLast = true;
    } else if (directive == "log") {
      fixture->log = true;
    }
  }
}

void SetErrorText(const std::wstring& text) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return;
  std::wstring copy = text;
  create->SetDescription(&copy[0]);
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

class Component;

// Each interface is a separate small object, so that the log can tell
// through which one the walker called IUnknown.
class DocumentInterface final : public IPdfDocumentPlaceholders {
 public:
  explicit DocumentInterface(Component* owner) : owner(owner) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Open(BSTR path) override;

 private:
  Component* owner;
};

class OutlineInterface final : public IPdfOutlinePlaceholders {
 public:
  explicit OutlineInterface(Component* owner) : owner(owner) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE MoveToRoot() override;
  HRESULT STDMETHODCALLTYPE MoveToParent() override;
  HRESULT STDMETHODCALLTYPE IsLeaf() override;
  HRESULT STDMETHODCALLTYPE MoveToFirstChild() override;
  HRESULT STDMETHODCALLTYPE MoveToNextSibling() override;
  HRESULT STDMETHODCALLTYPE GetCurrentItem(IPdfOutlineItem** item) override;

 private:
  Component* owner;
};

class Item;

class Component {
 public:
  Component() : document(this), outline(this) { InterlockedIncrement(&g_objects); }
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  HRESULT Query(REFIID iid, void** out, const char* through) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IPdfDocument)) {
      *out = static_cast<IPdfDocument*>(&document);
    } else if (IsEqualGUID(iid, IID_IPdfOutline) && !fixture.refuseOutline) {
      *out = static_cast<IPdfOutline*>(&outline);
    }
    if (IsEqualGUID(iid, IID_IPdfOutline))
      Log(std::string("QueryInterface IPdfOutline through ") + through +
          (*out != nullptr ? " -> S_OK" : " -> E_NOINTERFACE"));
    if (*out == nullptr) return E_NOINTERFACE;
    ++references;
    return S_OK;
  }
  ULONG AddRef() { return static_cast<ULONG>(++references); }
  // `through` names the interface the caller used; null for the items'
  // own references, which are not the walker's calls.
  ULONG Release(const char* through) {
    LONG left = --references;
    if (through != nullptr) Log(std::string("Release ") + through + " -> " + std::to_string(left));
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT Open(BSTR path);
  void Log(const std::string& line);
  std::string Name(const Node* node) const {
    return node == &fixture.root ? "(root)" : Printable(node->title);
  }

  Fixture fixture;
  Node* cursor = nullptr;
  bool pastLast = false;  // on no item, after the last sibling

 private:
  ~Component() {
    Log("Destroy");
    if (logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
    InterlockedDecrement(&g_objects);
  }

  DocumentInterface document;
  OutlineInterface outline;
  LONG references = 1;
  HANDLE logFile = INVALID_HANDLE_VALUE;
};

// One per node while the walker holds it; holds the component alive.
class Item final : public IPdfOutlineItemPlaceholders {
 public:
  Item(Component* owner, Node* node) : owner(owner), node(node) {
    owner->AddRef();
    node->item = this;
    InterlockedIncrement(&g_objects);
  }
  Item(const Item&) = delete;
  Item& operator=(const Item&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *out = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = --references;
    owner->Log("Release " + owner->Name(node) + " -> " + std::to_string(left));
    if (left == 0) {
      node->item = nullptr;
      Component* component = owner;
      delete this;
      InterlockedDecrement(&g_objects);
      component->Release(nullptr);
    }
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override {
    owner->Log("GetTitle " + owner->Name(node));
    if (title == nullptr) return E_POINTER;
    *title = SysAllocStringLen(node->title.data(), static_cast<UINT>(node->title.size()));
    return *title != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetPage(LONG* page) override {
    owner->Log("GetPage " + owner->Name(node));
    if (page == nullptr) return E_POINTER;
    if (!node->storesPage) return S_FALSE;
    *page = node->page;
    return S_OK;
  }

 private:
  ~Item() = default;

  Component* owner;
  Node* node;
  LONG references = 1;
};

HRESULT Component::Open(BSTR path) {
  std::wstring file(path != nullptr ? path : L"", SysStringLen(path));
  std::string bytes;
  if (!ReadWholeFile(file, &bytes)) return HRESULT_FROM_WIN32(GetLastError());
  try {
    Parse(bytes, &fixture);
  } catch (const std::exception&) {  // no exception may leave a component
    SetErrorText(L"the test component cannot read this fixture");
    return E_FAIL;
  }
  if (fixture.log) {
    logFile = CreateFileW((file + L".calls").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, 0, nullptr);
  }
  Log("Open " + Utf8(file));
  for (const char* name : {"SyncOpenFile", "SyncGetPage", "SyncOtherState"}) {
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
    const char* state = "missing";
    if (event != nullptr) {
      state = WaitForSingleObject(event, 0) == WAIT_OBJECT_0 ? "signalled" : "not signalled";
      CloseHandle(event);
    }
    Log(std::string("Event ") + name + " " + state);
  }
  if (!fixture.openText.empty()) SetErrorText(fixture.openText);
  cursor = &fixture.root;
  return fixture.openStatus;
}

void Component::Log(const std::string& line) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(logFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

HRESULT DocumentInterface::QueryInterface(REFIID iid, void** out) {
  return owner->Query(iid, out, "IPdfDocument");
}
ULONG DocumentInterface::AddRef() { return owner->AddRef(); }
ULONG DocumentInterface::Release() { return owner->Release("IPdfDocument"); }
HRESULT DocumentInterface::Open(BSTR path) { return owner->Open(path); }

HRESULT OutlineInterface::QueryInterface(REFIID iid, void** out) {
  return owner->Query(iid, out, "IPdfOutline");
}
ULONG OutlineInterface::AddRef() { return owner->AddRef(); }
ULONG OutlineInterface::Release() { return owner->Release("IPdfOutline"); }

HRESULT OutlineInterface::MoveToRoot() {
  owner->cursor = &owner->fixture.root;
  owner->pastLast = false;
  owner->Log("MoveToRoot");
  return S_OK;
}

HRESULT OutlineInterface::MoveToParent() {
  Node* node = owner->cursor;
  if (node == nullptr || node->parent == nullptr) {
    owner->Log("MoveToParent (none)");
    return E_UNEXPECTED;
  }
  owner->cursor = node->parent;
  owner->pastLast = false;
  owner->Log("MoveToParent -> " + owner->Name(owner->cursor));
  return S_OK;
}

HRESULT OutlineInterface::IsLeaf() {
  Node* node = owner->cursor;
  HRESULT result = node != nullptr && !node->children.empty() ? S_OK : S_FALSE;
  owner->Log("IsLeaf " + (node != nullptr ? owner->Name(node) : std::string("(none)")) +
             (result == S_OK ? " -> 0" : " -> 1"));
  return result;
}

HRESULT OutlineInterface::MoveToFirstChild() {
  Node* node = owner->cursor;
  if (node == nullptr || node->children.empty()) {
    owner->Log("MoveToFirstChild (none)");
    return E_UNEXPECTED;
  }
  owner->cursor = node->children.front().get();
  owner->pastLast = false;
  owner->Log("MoveToFirstChild -> " + owner->Name(owner->cursor));
  return S_OK;
}

HRESULT OutlineInterface::MoveToNextSibling() {
  Node* node = owner->cursor;
  Node* parent = node != nullptr ? node->parent : nullptr;
  if (parent == nullptr) {
    owner->Log("MoveToNextSibling (none)");
    return E_UNEXPECTED;
  }
  auto& siblings = parent->children;
  for (std::size_t i = 0; i < siblings.size(); ++i) {
    if (siblings[i].get() != node) continue;
    if (i + 1 < siblings.size()) {
      owner->cursor = siblings[i + 1].get();
      owner->Log("MoveToNextSibling -> " + owner->Name(owner->cursor));
    } else {
      owner->pastLast = owner->fixture.noItemAfterLast;
      owner->Log(std::string("MoveToNextSibling (last") +
                 (owner->pastLast ? ", now on no item)" : ", stays)"));
    }
    break;
  }
  return S_OK;
}

HRESULT OutlineInterface::GetCurrentItem(IPdfOutlineItem** item) {
  if (item == nullptr) return E_POINTER;
  Node* node = owner->cursor;
  if (owner->pastLast || node == nullptr || node == &owner->fixture.root) {
    *item = nullptr;
    owner->Log("GetCurrentItem -> none");
    return S_FALSE;
  }
  if (node->item != nullptr) {
    node->item->AddRef();
  } else {
    new Item(owner, node);  // registers itself with the node
  }
  *item = node->item;
  owner->Log("GetCurrentItem -> " + owner->Name(node));
  return S_OK;
}

class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IClassFactory))
      return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // A static object: its references do not matter, only the server locks.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Component* component = new Component();
    HRESULT status = component->Query(iid, out, "creation");
    component->Release(nullptr);  // the creation reference
    return status;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&g_objects);
    } else {
      InterlockedDecrement(&g_objects);
    }
    return S_OK;
  }
};

ClassFactory g_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualGUID(clsid, CLSID_PdfDocumentComponent)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return g_objects == 0 ? S_OK : S_FALSE;
}
