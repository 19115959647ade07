// Kernel event objects for code written against the Windows waiting calls:
// manual- or auto-reset events behind opaque handles.
//
// A handle is a number from a process-wide table, never an address, and is
// never given out twice: a call with a handle that was closed (or never
// existed) fails instead of touching freed memory. A thread waiting on an
// event when another closes its handle keeps the event alive until its wait
// ends, as on Windows.
#pragma once

#include <zenta/WinTypes.h>

typedef void* HANDLE;

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

// Creates an unnamed event. `lpEventAttributes` must be null and `lpName`
// null or empty (named events are not supported: null is returned). An
// auto-reset event (`bManualReset` FALSE) lets one waiter through per
// SetEvent and clears itself; a manual-reset one stays set until ResetEvent.
HANDLE CreateEventA(void* lpEventAttributes, BOOL bManualReset, BOOL bInitialState, const char* lpName);
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);

// Waits up to `dwMilliseconds` (INFINITE: without limit) for the event:
// WAIT_OBJECT_0 when it was set (an auto-reset event is cleared again),
// WAIT_TIMEOUT when the time ran out, WAIT_FAILED for an invalid handle.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

// Closes the handle; FALSE when it was not open.
BOOL CloseHandle(HANDLE hObject);
