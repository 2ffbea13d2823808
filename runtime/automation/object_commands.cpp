// ObjectCreate and ObjectClear.
#include "platform/com/class_registry.h"
#include "platform/com/com_ptr.h"
#include "platform/base/code_page.h"
#include "runtime/automation/automation_commands.h"
#include "runtime/automation/object_variables.h"
#include "runtime/automation/command_values.h"
#include "runtime/kernel/command.h"

namespace quorlin::automation {
namespace {

using platform::ComPtr;

// The object of the type named `name` in the type library `file`, or null.
ComPtr<IUnknown> CreateFromTypeLibrary(const std::u16string& name, const std::u16string& file) {
  ComPtr<IUnknown> object;
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLib(file.c_str(), library.Receive())) || !library) return object;
  std::u16string buffer = name;
  const ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), buffer.c_str());
  ITypeInfo* found = nullptr;
  MEMBERID member = MEMBERID_NIL;
  USHORT count = 1;
  if (SUCCEEDED(library->FindName(buffer.data(), hash, &found, &member, &count)) && count == 1 && found) {
    found->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<PVOID*>(object.Receive()));
  }
  if (found) found->Release();
  if (object && file.find(u'\\') != std::u16string::npos) RegisterTypeLib(library.Get(), file.c_str(), nullptr);
  return object;
}

ComPtr<IUnknown> CreateFromClass(const std::u16string& name) {
  CLSID clsid{};
  const HRESULT found = !name.empty() && name[0] == u'{' ? CLSIDFromString(name.c_str(), &clsid)
                                                          : CLSIDFromProgID(name.c_str(), &clsid);
  ComPtr<IUnknown> object;
  if (FAILED(found)) return object;
  constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
  constexpr DWORD kLocalServers = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
  HRESULT hr = CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, reinterpret_cast<LPVOID*>(object.Receive()));
  if (hr == E_INVALIDARG) {
    hr = CoCreateInstance(clsid, nullptr, kLocalServers, IID_IUnknown, reinterpret_cast<LPVOID*>(object.Receive()));
  }
  if (FAILED(hr)) object.Reset();
  return object;
}

}  // namespace

void ObjectCreateCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = MakeBoolean(false);
  ObjectRecord* record = ObjectVariableOf(ArgumentAt(argCount, args, 0));
  if (!record) return;
  const std::u16string name = platform::GbkToUtf16(TextArgument(ArgumentAt(argCount, args, 1)));
  const std::string_view libraryFile = TextArgument(ArgumentAt(argCount, args, 2));

  ComPtr<IUnknown> object;
  if ((name.empty() || name[0] != u'{') && !libraryFile.empty()) {
    object = CreateFromTypeLibrary(name, platform::GbkToUtf16(libraryFile));
  }
  if (!object) object = CreateFromClass(name);
  if (!object || FAILED(OleRun(object.Get()))) return;

  StoreObject(*record, object.Detach());
  *result = MakeBoolean(true);
}

void ObjectClearCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = {};
  if (ObjectRecord* record = ObjectVariableOf(ArgumentAt(argCount, args, 0))) ClearObjectRecord(*record);
}

}  // namespace quorlin::automation
