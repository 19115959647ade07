// Kernel events and thread message queues.

#include <future>

#include "platform/Synch.h"
#include "platform/WinUser.h"

using std::chrono::milliseconds;

TEST(Evento, AutoResetLetsOneWaitThroughAndManualResetStaysSet) {
    const HANDLE automatico = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(automatico, nullptr);
    EXPECT_EQ(WaitForSingleObject(automatico, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(automatico));
    EXPECT_EQ(WaitForSingleObject(automatico, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatico, 0), WAIT_TIMEOUT);

    const HANDLE manual = CreateEventA(nullptr, TRUE, TRUE, "");
    ASSERT_NE(manual, nullptr);
    EXPECT_NE(manual, automatico);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(manual));
    EXPECT_TRUE(CloseHandle(automatico));
    // Closed or unknown handles fail; a new event never takes a closed one's handle.
    EXPECT_FALSE(CloseHandle(automatico));
    EXPECT_FALSE(SetEvent(automatico));
    EXPECT_EQ(WaitForSingleObject(automatico, INFINITE), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, "Global\\x"), nullptr);
    const HANDLE novo = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_NE(novo, automatico);
    CloseHandle(novo);
}

TEST(Evento, WaitsAcrossThreadsAndTimesOut) {
    const HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const auto inicio = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(h, 60), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - inicio, milliseconds(60));

    // Two waiters, two signals of an auto-reset event: each lets one through.
    std::atomic<int> passaram{0};
    std::thread a([&] { passaram += WaitForSingleObject(h, 5000) == WAIT_OBJECT_0; });
    std::thread b([&] { passaram += WaitForSingleObject(h, 5000) == WAIT_OBJECT_0; });
    std::this_thread::sleep_for(milliseconds(30));
    SetEvent(h);
    std::this_thread::sleep_for(milliseconds(30));
    EXPECT_EQ(passaram.load(), 1);
    SetEvent(h);
    a.join();
    b.join();
    EXPECT_EQ(passaram.load(), 2);
    CloseHandle(h);
}

TEST(FilaMensagens, PostsReachAThreadWithAQueueInOrderAndWmQuitEndsGetMessage) {
    std::promise<DWORD> id;
    std::promise<void> pronta;
    std::atomic<int> recebidas{0};
    WPARAM ultimo = 0;
    std::thread laco([&] {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
        id.set_value(GetCurrentThreadId());
        BOOL r;
        while ((r = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>(recebidas.load()));
            ++recebidas;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        EXPECT_EQ(r, FALSE);
        EXPECT_EQ(msg.message, WM_QUIT);
        ultimo = msg.wParam;
        pronta.set_value();
    });
    const DWORD destino = id.get_future().get();
    EXPECT_NE(destino, GetCurrentThreadId());
    for (WPARAM i = 0; i < 5; ++i) EXPECT_TRUE(PostThreadMessageA(destino, WM_USER + 1, i, 0));
    EXPECT_TRUE(PostThreadMessageA(destino, WM_QUIT, 7, 0));
    pronta.get_future().wait();
    laco.join();
    EXPECT_EQ(recebidas.load(), 5);
    EXPECT_EQ(ultimo, 7u);
    // Its thread has ended: the queue went with it.
    EXPECT_FALSE(PostThreadMessageA(destino, WM_USER, 0, 0));

    // A thread that never made a queue cannot be posted to.
    std::promise<DWORD> outroId;
    std::promise<void> fim;
    std::thread sem([&] {
        outroId.set_value(GetCurrentThreadId());
        fim.get_future().wait();
    });
    EXPECT_FALSE(PostThreadMessageA(outroId.get_future().get(), WM_USER, 0, 0));
    fim.set_value();
    sem.join();
    EXPECT_FALSE(PostThreadMessageA(0, WM_QUIT, 0, 0));
}

TEST(FilaMensagens, FiltersArgumentsAndAFullQueue) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(&msg), 0, 0), -1);

    const DWORD eu = GetCurrentThreadId();
    ASSERT_TRUE(PostThreadMessageA(eu, WM_USER + 1, 1, 0));
    ASSERT_TRUE(PostThreadMessageA(eu, WM_USER + 2, 2, 0));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_EQ(GetMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2), TRUE);  // skips the earlier message
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.wParam, 1u);

    for (unsigned i = 0; i < QV_MAXIMO_MENSAGENS_FILA; ++i) ASSERT_TRUE(PostThreadMessageA(eu, WM_USER, i, 0));
    EXPECT_FALSE(PostThreadMessageA(eu, WM_QUIT, 0, 0));
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(PostThreadMessageA(eu, WM_USER, 0, 0));
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}
