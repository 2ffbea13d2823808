// Automation type information: IDispatch, ITypeInfo, ITypeComp, ITypeLib, IRecordInfo and
// IClassFactory with the platform's method order, the description records they hand out and
// the name hash that binding by name uses.
//
// This platform has no type-library files: LoadTypeLib, LoadTypeLibEx and RegisterTypeLib
// check their arguments and give TYPE_E_CANTLOADLIBRARY. Type information comes from the
// objects themselves (automation_class.h).
//
// Binding follows the platform: ITypeComp::Bind of a name the type lacks succeeds with
// DESCKIND_NONE; a name present only with other invoke kinds gives TYPE_E_TYPEMISMATCH. A
// FUNCDESC or VARDESC handed out belongs to the caller until it gives it back with
// ReleaseFuncDesc or ReleaseVarDesc (of any of our type infos).
#pragma once

#include <string_view>

#include "platform/com/oleauto.h"

struct ITypeInfo;
struct ITypeComp;
struct ITypeLib;

using MEMBERID = DISPID;
using HREFTYPE = DWORD;
using LPITYPEINFO = ITypeInfo*;

inline constexpr MEMBERID MEMBERID_NIL = DISPID_UNKNOWN;
inline constexpr IID IID_NULL = GUID_NULL;

inline constexpr HRESULT TYPE_E_LIBNOTREGISTERED = MakeHresult(0x8002801D);
inline constexpr HRESULT TYPE_E_WRONGTYPEKIND = MakeHresult(0x8002802A);
inline constexpr HRESULT TYPE_E_BADMODULEKIND = MakeHresult(0x800288BD);
inline constexpr HRESULT TYPE_E_TYPEMISMATCH = MakeHresult(0x80028CA0);
inline constexpr HRESULT TYPE_E_CANTLOADLIBRARY = MakeHresult(0x80029C4A);

enum TYPEKIND {
  TKIND_ENUM = 0,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,
  TKIND_DISPATCH,
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION,
  TKIND_MAX
};

enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32, SYS_MAC, SYS_WIN64 };

enum DESCKIND {
  DESCKIND_NONE = 0,
  DESCKIND_FUNCDESC,
  DESCKIND_VARDESC,
  DESCKIND_TYPECOMP,
  DESCKIND_IMPLICITAPPOBJ,
  DESCKIND_MAX
};

enum INVOKEKIND {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8
};

enum FUNCKIND { FUNC_VIRTUAL = 0, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH };

enum VARKIND { VAR_PERINSTANCE = 0, VAR_STATIC, VAR_CONST, VAR_DISPATCH };

enum CALLCONV {
  CC_FASTCALL = 0,
  CC_CDECL = 1,
  CC_MSCPASCAL = 2,
  CC_PASCAL = 2,
  CC_MACPASCAL = 3,
  CC_STDCALL = 4,
  CC_FPFASTCALL = 5,
  CC_SYSCALL = 6,
  CC_MPWCDECL = 7,
  CC_MPWPASCAL = 8,
  CC_MAX = 9
};

enum REGKIND { REGKIND_DEFAULT = 0, REGKIND_REGISTER, REGKIND_NONE };

inline constexpr USHORT PARAMFLAG_NONE = 0x00;
inline constexpr USHORT PARAMFLAG_FIN = 0x01;
inline constexpr USHORT PARAMFLAG_FOUT = 0x02;
inline constexpr USHORT PARAMFLAG_FLCID = 0x04;
inline constexpr USHORT PARAMFLAG_FRETVAL = 0x08;
inline constexpr USHORT PARAMFLAG_FOPT = 0x10;
inline constexpr USHORT PARAMFLAG_FHASDEFAULT = 0x20;
inline constexpr USHORT PARAMFLAG_FHASCUSTDATA = 0x40;

inline constexpr WORD TYPEFLAG_FDUAL = 0x40;
inline constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;

inline constexpr WORD FUNCFLAG_FRESTRICTED = 0x1;
inline constexpr WORD VARFLAG_FREADONLY = 0x1;

struct ARRAYDESC;

// A type: vt itself, or for VT_PTR / VT_SAFEARRAY the pointed-to or element type in
// lptdesc, for VT_CARRAY the array in lpadesc, for VT_USERDEFINED the type's hreftype.
struct TYPEDESC {
  union {
    TYPEDESC* lptdesc;
    ARRAYDESC* lpadesc;
    HREFTYPE hreftype;
  };
  VARTYPE vt;
};

struct ARRAYDESC {
  TYPEDESC tdescElem;
  USHORT cDims;
  SAFEARRAYBOUND rgbounds[1];
};

struct PARAMDESCEX {
  ULONG cBytes;
  VARIANTARG varDefaultValue;
};
using LPPARAMDESCEX = PARAMDESCEX*;

struct PARAMDESC {
  LPPARAMDESCEX pparamdescex;  // set with PARAMFLAG_FHASDEFAULT only
  USHORT wParamFlags;
};

struct IDLDESC {
  ULONG_PTR dwReserved;
  USHORT wIDLFlags;
};

struct ELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  };
};

struct FUNCDESC {
  MEMBERID memid;
  SCODE* lprgscode;
  ELEMDESC* lprgelemdescParam;  // cParams entries, in declaration order
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  SHORT cParams;
  SHORT cParamsOpt;  // -1: the function takes a variable number of arguments
  SHORT oVft;
  SHORT cScodes;
  ELEMDESC elemdescFunc;  // the result type; VT_VOID for none
  WORD wFuncFlags;
};
using LPFUNCDESC = FUNCDESC*;

struct VARDESC {
  MEMBERID memid;
  LPOLESTR lpstrSchema;
  union {
    ULONG oInst;
    VARIANT* lpvarValue;
  };
  ELEMDESC elemdescVar;
  WORD wVarFlags;
  VARKIND varkind;
};
using LPVARDESC = VARDESC*;

struct TYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  LPOLESTR lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
};
using LPTYPEATTR = TYPEATTR*;

struct TLIBATTR {
  GUID guid;
  LCID lcid;
  SYSKIND syskind;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  WORD wLibFlags;
};
using LPTLIBATTR = TLIBATTR*;

union BINDPTR {
  FUNCDESC* lpfuncdesc;
  VARDESC* lpvardesc;
  ITypeComp* lptcomp;
};
using LPBINDPTR = BINDPTR*;

// {00020400-0000-0000-C000-000000000046}
inline constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00020401-0000-0000-C000-000000000046}
inline constexpr IID IID_ITypeInfo{0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00020402-0000-0000-C000-000000000046}
inline constexpr IID IID_ITypeLib{0x00020402, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00020403-0000-0000-C000-000000000046}
inline constexpr IID IID_ITypeComp{0x00020403, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0000002F-0000-0000-C000-000000000046}
inline constexpr IID IID_IRecordInfo{0x0000002F, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000001-0000-0000-C000-000000000046}
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IDispatch : IUnknown {
  static constexpr const IID& kIid = IID_IDispatch;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT nameCount, LCID locale,
                                                  DISPID* dispIds) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                           DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                           UINT* argumentError) = 0;

 protected:
  ~IDispatch() = default;
};
using LPDISPATCH = IDispatch*;

struct ITypeInfo : IUnknown {
  static constexpr const IID& kIid = IID_ITypeInfo;
  virtual HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** typeComp) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** funcDesc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** varDesc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNames(MEMBERID member, BSTR* names, UINT maxNames, UINT* nameCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* refType) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* implTypeFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT nameCount, MEMBERID* memberIds) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(PVOID instance, MEMBERID member, WORD flags, DISPPARAMS* params,
                                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID member, BSTR* name, BSTR* docString,
                                                     DWORD* helpContext, BSTR* helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID member, INVOKEKIND invokeKind, BSTR* dllName,
                                                BSTR* name, WORD* ordinal) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE refType, ITypeInfo** typeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID member, INVOKEKIND invokeKind, PVOID* address) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, PVOID* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMops(MEMBERID member, BSTR* mops) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** typeLib, UINT* index) = 0;
  virtual void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attributes) = 0;
  virtual void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* funcDesc) = 0;
  virtual void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* varDesc) = 0;

 protected:
  ~ITypeInfo() = default;
};

struct ITypeComp : IUnknown {
  static constexpr const IID& kIid = IID_ITypeComp;
  // flags: INVOKE_* kinds accepted (0 = any). On DESCKIND_FUNCDESC / DESCKIND_VARDESC,
  // *typeInfo holds a new reference to the type info whose Release*Desc frees *bound.
  virtual HRESULT STDMETHODCALLTYPE Bind(LPOLESTR name, ULONG hash, WORD flags, ITypeInfo** typeInfo,
                                         DESCKIND* kind, BINDPTR* bound) = 0;
  virtual HRESULT STDMETHODCALLTYPE BindType(LPOLESTR name, ULONG hash, ITypeInfo** typeInfo,
                                             ITypeComp** typeComp) = 0;

 protected:
  ~ITypeComp() = default;
};

struct ITypeLib : IUnknown {
  static constexpr const IID& kIid = IID_ITypeLib;
  virtual UINT STDMETHODCALLTYPE GetTypeInfoCount() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** typeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* kind) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** typeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** attributes) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** typeComp) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                                                     BSTR* helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsName(LPOLESTR name, ULONG hash, BOOL* found) = 0;
  // *found: in, the most matches wanted; out, the matches written to typeInfos / memberIds.
  virtual HRESULT STDMETHODCALLTYPE FindName(LPOLESTR name, ULONG hash, ITypeInfo** typeInfos,
                                             MEMBERID* memberIds, USHORT* found) = 0;
  virtual void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* attributes) = 0;

 protected:
  ~ITypeLib() = default;
};

struct IRecordInfo : IUnknown {
  static constexpr const IID& kIid = IID_IRecordInfo;
  virtual HRESULT STDMETHODCALLTYPE RecordInit(PVOID record) = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordClear(PVOID record) = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordCopy(PVOID source, PVOID destination) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetGuid(GUID* guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSize(ULONG* size) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo** typeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetField(PVOID record, LPCOLESTR fieldName, VARIANT* field) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID record, LPCOLESTR fieldName, VARIANT* field,
                                                   PVOID* arrayData) = 0;
  virtual HRESULT STDMETHODCALLTYPE PutField(ULONG flags, PVOID record, LPCOLESTR fieldName, VARIANT* field) = 0;
  virtual HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG flags, PVOID record, LPCOLESTR fieldName,
                                                   VARIANT* field) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG* nameCount, BSTR* names) = 0;
  virtual BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo* other) = 0;
  virtual PVOID STDMETHODCALLTYPE RecordCreate() = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID source, PVOID* copy) = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID record) = 0;

 protected:
  ~IRecordInfo() = default;
};

struct IClassFactory : IUnknown {
  static constexpr const IID& kIid = IID_IClassFactory;
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// The name hash of binding by name. Letters are folded to upper case first (ASCII, Latin-1,
// Greek and Cyrillic), so names differing only in case hash alike. The low word is the hash
// proper (FNV-1a over the folded UTF-16 units, its halves combined by exclusive or); bits
// 16-23 hold the low byte of the locale's language and bits 24-31 the system kind, as the
// platform keeps locale and system there. Binding compares only the low word.
ULONG LHashValOfNameSys(SYSKIND sysKind, LCID locale, const OLECHAR* name);
ULONG LHashValOfName(LCID locale, const OLECHAR* name);  // system kind SYS_WIN32
constexpr USHORT WHashValOfLHashVal(ULONG hash) { return static_cast<USHORT>(hash & 0xFFFF); }

// Simplified Chinese (PRC), the locale of the systems the program serves.
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();

HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** typeLib);
HRESULT LoadTypeLibEx(LPCOLESTR file, REGKIND kind, ITypeLib** typeLib);
HRESULT RegisterTypeLib(ITypeLib* typeLib, LPCOLESTR fullPath, LPCOLESTR helpDir);

// Argument `position` (0 = first in declaration order; a named argument whose DISPID is the
// position is taken first) changed to `type` into *result (which the caller clears).
// DISP_E_PARAMNOTFOUND when absent, DISP_E_TYPEMISMATCH / DISP_E_OVERFLOW with *argumentError
// set to the argument's index in params->rgvarg.
HRESULT DispGetParam(DISPPARAMS* params, UINT position, VARTYPE type, VARIANT* result, UINT* argumentError);

namespace quorlin::platform {

// Whether two names are equal under the case folding of the name hash.
bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace quorlin::platform
