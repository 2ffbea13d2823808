// MakeExport: a built-in export's table entry, its signature letters taken from the
// function's own type at compile time.
//
// On this LP64 platform `long` and `unsigned long` are the types of the pointer-sized integers
// (WPARAM, LPARAM, SIZE_T, INT_PTR …), so they give 'p'; a 64-bit integer that is not
// pointer-sized is written `long long` and gives 'l' (glibc's int64_t is `long`, so it gives 'p').
#pragma once

#include <type_traits>

#include "platform/base/dll_modules.h"

namespace quorlin::platform::export_signature {

template <typename T>
constexpr char LetterOf() {
  using U = std::remove_cv_t<T>;
  if constexpr (std::is_pointer_v<U> || std::is_null_pointer_v<U>) {
    return 'p';
  } else if constexpr (std::is_same_v<U, float>) {
    return 'f';
  } else if constexpr (std::is_same_v<U, double>) {
    return 'd';
  } else if constexpr (std::is_enum_v<U>) {
    return LetterOf<std::underlying_type_t<U>>();
  } else if constexpr (std::is_integral_v<U>) {
    static_assert(sizeof(U) <= 8, "no integer wider than 64 bits crosses a DLL call");
    if constexpr (sizeof(U) <= 4) {
      return 'i';
    } else if constexpr (std::is_same_v<U, long long> || std::is_same_v<U, unsigned long long>) {
      return 'l';
    } else {
      static_assert(sizeof(U) == sizeof(void*));
      return 'p';
    }
  } else {
    static_assert(!sizeof(U), "a built-in export takes and returns only integers, pointers, float and double");
    return '?';
  }
}

template <typename T>
constexpr char ResultLetterOf() {
  if constexpr (std::is_void_v<T>) {
    return 'v';
  } else {
    return LetterOf<T>();
  }
}

// The letters of one argument list, NUL-terminated, with static storage.
template <typename... Args>
struct ArgumentLetters {
  static constexpr char text[] = {LetterOf<Args>()..., '\0'};
};

// Integers narrower than 32 bits travel as 32-bit values: the caller of a DLL procedure
// passes and reads whole 32-bit words, while a callee's char, short or bool leaves the upper
// bits of its registers undefined. Such functions are exported through a thunk of 32-bit types.
template <typename T>
constexpr bool IsNarrowInteger() {
  using U = std::remove_cv_t<T>;
  if constexpr (std::is_integral_v<U> || std::is_enum_v<U>) {
    return sizeof(U) < 4;
  } else {
    return false;
  }
}

template <typename T, bool Narrow = IsNarrowInteger<T>()>
struct Wide {
  using type = T;
};
template <typename T>
struct Wide<T, true> {
  using Integer = typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>, std::type_identity<T>>::type;
  using type = std::conditional_t<std::is_signed_v<Integer>, int32_t, uint32_t>;
};
template <typename T>
using WideType = typename Wide<T>::type;

template <auto Function, typename R, typename... Args>
struct Thunk {
  static WideType<R> Call(WideType<Args>... args) {
    if constexpr (std::is_void_v<R>) {
      Function(static_cast<Args>(args)...);
    } else {
      return static_cast<WideType<R>>(Function(static_cast<Args>(args)...));
    }
  }
};

template <auto Function, typename R, typename... Args>
struct ExportTraits {
  static constexpr ProcedureSignature signature{ResultLetterOf<R>(),
                                                std::string_view(ArgumentLetters<Args...>::text, sizeof...(Args))};
  static FARPROC Address() {
    constexpr bool narrow = (IsNarrowInteger<R>() || ... || IsNarrowInteger<Args>());
    if constexpr (narrow) {
      return reinterpret_cast<FARPROC>(&Thunk<Function, R, Args...>::Call);
    } else {
      return reinterpret_cast<FARPROC>(Function);
    }
  }
};

template <auto Function, typename F = decltype(Function)>
struct FunctionTraits;

template <auto Function, typename R, typename... Args>
struct FunctionTraits<Function, R (*)(Args...)> : ExportTraits<Function, R, Args...> {};

template <auto Function, typename R, typename... Args>
struct FunctionTraits<Function, R (*)(Args...) noexcept> : ExportTraits<Function, R, Args...> {};

}  // namespace quorlin::platform::export_signature

namespace quorlin::platform {

// The signature of a function, as a constant.
template <auto Function>
inline constexpr ProcedureSignature SignatureOf = export_signature::FunctionTraits<Function>::signature;

template <auto Function>
BuiltinExport MakeExport(const char* name, WORD ordinal) {
  return BuiltinExport{name, ordinal, export_signature::FunctionTraits<Function>::Address(), SignatureOf<Function>};
}

}  // namespace quorlin::platform
