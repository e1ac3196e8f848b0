// What a download attempt's result is once the HTTP status of the answer is
// known. Some platforms (Wine's download service among them) store the body
// of an error answer and call the transfer a success; the attempt must fail
// all the same, with a code that says why.
#pragma once

#include <windows.h>

// |platformResult| when it already reports a failure, or when |httpStatus| is
// not an error (below 400; 0 when no answer was seen). Otherwise the download
// service's own code for that kind of error: INET_E_RESOURCE_NOT_FOUND for 404
// and 410, INET_E_AUTHENTICATION_REQUIRED for 401 and 407, E_ACCESSDENIED for
// 403, INET_E_INVALID_REQUEST for the other 4xx and INET_E_DATA_NOT_AVAILABLE
// for 5xx and above.
HRESULT ResultForHttpStatus(HRESULT platformResult, DWORD httpStatus);
