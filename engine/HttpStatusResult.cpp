#include "engine/HttpStatusResult.h"

#include <urlmon.h>

HRESULT ResultForHttpStatus(HRESULT platformResult, DWORD httpStatus) {
  if (platformResult != S_OK || httpStatus < 400) return platformResult;
  switch (httpStatus) {
    case 404:
    case 410:
      return INET_E_RESOURCE_NOT_FOUND;
    case 401:
    case 407:
      return INET_E_AUTHENTICATION_REQUIRED;
    case 403:
      return E_ACCESSDENIED;
    default:
      return httpStatus < 500 ? INET_E_INVALID_REQUEST : INET_E_DATA_NOT_AVAILABLE;
  }
}
