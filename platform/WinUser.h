// The user-interface calls of a program without a screen.
//
// The message box: the server has no interactive desktop, so a message box
// is written to the system log and to standard error, and answers as if its
// default button had been pressed.
//
// Thread message queues: a thread gets a queue the first time it asks for a
// message (GetMessageA, PeekMessageA); other threads post to it by thread
// identifier. There are no windows, so every message is a thread message.
#pragma once

#include <cstdint>

#include <zenta/WinTypes.h>

struct HWND__;
typedef HWND__* HWND;

// Buttons.
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_CANCELTRYCONTINUE 0x00000006u
#define MB_TYPEMASK 0x0000000Fu
// Icons.
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0u
// Default button.
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define MB_DEFBUTTON4 0x00000300u
#define MB_DEFMASK 0x00000F00u
// Modality and others (accepted, without effect here).
#define MB_APPLMODAL 0x00000000u
#define MB_SYSTEMMODAL 0x00001000u
#define MB_TASKMODAL 0x00002000u
#define MB_SETFOREGROUND 0x00010000u
#define MB_TOPMOST 0x00040000u
#define MB_SERVICE_NOTIFICATION 0x00200000u

// Answers.
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDTRYAGAIN 10
#define IDCONTINUE 11

// Caption and text are Windows-1252 (the ANSI code page of the system's
// texts); either may be null. Writes "caption: text" to the system log with a
// priority from the icon (hand: error, exclamation: warning, others: notice)
// and to standard error, both in UTF-8. Answers the default button's ID.
int MessageBoxA(HWND hWnd, const char* lpText, const char* lpCaption, UINT uType);

// ---- Thread message queues --------------------------------------------------
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

#define WM_NULL 0x0000u
#define WM_QUIT 0x0012u
#define WM_USER 0x0400u

// PeekMessageA: whether the message found is taken off the queue.
#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

// Show commands (the server has no window to show; the value is passed on
// only because the entry point's signature carries it).
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWDEFAULT 10

// The most messages a queue holds; posting to a full queue fails.
#define QV_MAXIMO_MENSAGENS_FILA 10000u

// The calling thread's identifier (the system's thread ID).
DWORD GetCurrentThreadId();

// Takes the first message whose number lies in [wMsgFilterMin,
// wMsgFilterMax] (both 0: any message) off the calling thread's queue,
// waiting until there is one. Returns 0 when it is WM_QUIT, -1 when `lpMsg`
// is null or `hWnd` names a window (there are none), otherwise non-zero.
BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);

// As GetMessageA without waiting: FALSE when no message fits. With
// PM_REMOVE the message is taken off the queue.
BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);

// Puts a message at the end of thread `idThread`'s queue. FALSE when that
// thread has no queue (it never asked for a message, or has ended) or its
// queue is full.
BOOL PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);

// Keyboard translation: there is no keyboard; always FALSE.
BOOL TranslateMessage(const MSG* lpMsg);

// Thread messages have no window procedure to go to; always 0.
LRESULT DispatchMessageA(const MSG* lpMsg);
