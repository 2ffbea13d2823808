// The dispatch parameters of one member call: the arguments converted in reverse order, the
// slots that by-reference parameters point into, the named argument of a property put, and
// the write-back of output parameters into variables given by address. Every VARIANT is
// cleared when the object goes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/com/oleauto.h"
#include "runtime/automation/argument_conversion.h"
#include "runtime/automation/last_call_status.h"
#include "runtime/automation/parameter_types.h"

namespace quorlin::automation {

class DispatchArguments {
 public:
  DispatchArguments() = default;
  DispatchArguments(const DispatchArguments&) = delete;
  DispatchArguments& operator=(const DispatchArguments&) = delete;
  ~DispatchArguments();

  // Converts the `count` arguments for the declared parameters; arguments beyond them are
  // described like the last one. ArgumentNotPassable when one cannot be passed.
  CallStatus Build(const TypedValue* arguments, size_t count, std::span<const ParameterType> declared,
                   bool propertyPut);
  DISPPARAMS* Parameters() { return &parameters_; }
  // Writes the values of by-reference output parameters back into the variables given by
  // address, each as its variable's type; a value that does not convert leaves its variable.
  void WriteBackOutputs();

 private:
  struct Argument {
    GivenArgument given;
    ParameterType parameter;
    bool passedByReference = false;
  };
  void Pass(size_t index, VARIANT& value);

  std::vector<Argument> arguments_;
  std::vector<VARIANT> passed_;  // last argument first
  std::vector<VARIANT> slots_;   // by-reference values, in argument order
  DISPID namedPut_ = DISPID_PROPERTYPUT;
  DISPPARAMS parameters_{};
};

}  // namespace quorlin::automation
