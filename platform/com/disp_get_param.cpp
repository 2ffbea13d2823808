#include "platform/com/typeinfo.h"

HRESULT DispGetParam(DISPPARAMS* params, UINT position, VARTYPE type, VARIANT* result, UINT* argumentError) {
  if (!params || !result) return E_INVALIDARG;
  if ((params->cArgs != 0 && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs != 0 && !params->rgdispidNamedArgs)) {
    return E_INVALIDARG;
  }
  VariantInit(result);
  UINT index = params->cArgs;
  for (UINT n = 0; n < params->cNamedArgs; ++n) {
    if (params->rgdispidNamedArgs[n] == static_cast<DISPID>(position)) {
      index = n;
      break;
    }
  }
  if (index == params->cArgs) {
    const UINT positional = params->cArgs - params->cNamedArgs;
    if (position >= positional) return DISP_E_PARAMNOTFOUND;
    index = params->cArgs - 1 - position;
  }
  const HRESULT hr = VariantChangeType(result, &params->rgvarg[index], 0, type);
  if (FAILED(hr)) {
    if (argumentError) *argumentError = index;
    return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}
