// The thread's message queue: PostMessageA, PeekMessageA, TranslateMessage, DispatchMessageA.
//
// The queue is a fixed ring; posting to a full queue fails as on Windows. A Ctrl-C caught
// while a modeless dialog exists enters the queue as that dialog's Cancel command the next
// time the queue is looked at, so the signal handler itself touches nothing but a counter.
#include "core/handles.h"
#include "core/trace.h"
#include "platform/windows_services.h"
#include "user/dialog_manager.h"
#include "user/terminal_ui.h"

namespace {

const int QUEUE_SIZE = 256;
const DWORD ERROR_INVALID_WINDOW_HANDLE_CODE = 1400;   // ERROR_INVALID_WINDOW_HANDLE
const DWORD ERROR_NOT_ENOUGH_QUOTA_CODE = 1816;        // ERROR_NOT_ENOUGH_QUOTA
const HWND THREAD_MESSAGES_ONLY = (HWND)(intptr_t)-1;  // PeekMessage filter for hwnd 0

MSG queue[QUEUE_SIZE];
int queue_first = 0;
int queue_count = 0;

MSG *queued(int i) { return &queue[(queue_first + i) % QUEUE_SIZE]; }

void queue_remove(int i) {
    for (int j = i; j + 1 < queue_count; j++) *queued(j) = *queued(j + 1);
    queue_count--;
}

// Turns Ctrl-C presses caught since the last look into Cancel commands.
void take_interrupts() {
    while (terminal_interrupt_take()) dialog_queue_cancel();
}

// Whether a queued message passes PeekMessageA's window and range filters.
bool matches(const MSG *m, HWND filter, UINT first, UINT last) {
    if (filter == THREAD_MESSAGES_ONLY) {
        if (m->hwnd) return false;
    } else if (filter) {
        Window *w = window_find(m->hwnd);
        if (m->hwnd != filter && !(w && w->parent == handle_of(filter))) return false;
    }
    if (first == 0 && last == 0) return true;
    return m->message >= first && m->message <= last;
}

}  // namespace

bool queue_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (queue_count >= QUEUE_SIZE) return false;
    *queued(queue_count++) = MSG{window, message, wparam, lparam, 0, {0, 0}};
    return true;
}

void queue_forget(int handle) {
    for (int i = 0; i < queue_count;) {
        if (handle_of(queued(i)->hwnd) == handle)
            queue_remove(i);
        else
            i++;
    }
}

bool queue_take_for(int dialog, MSG *out) {
    take_interrupts();
    for (int i = 0; i < queue_count; i++) {
        Window *w = window_find(queued(i)->hwnd);
        if (w && (w->handle == dialog || w->parent == dialog)) {
            *out = *queued(i);
            queue_remove(i);
            return true;
        }
    }
    return false;
}

// Queues a message for a live window (or, with a null window, for the thread). FALSE for a
// stale window or a full queue.
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    TraceLine t;
    trace_begin(&t, "PostMessageA");
    trace_int(&t, "msg", message);
    if (window && !window_find(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_CODE);
        return (BOOL)trace_end(&t, FALSE);
    }
    if (!queue_post(window, message, wparam, lparam)) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA_CODE);
        return (BOOL)trace_end(&t, FALSE);
    }
    return (BOOL)trace_end(&t, TRUE);
}

// Looks at the queue without ever waiting. TRUE with the first matching message copied to
// *msg (and removed with PM_REMOVE); FALSE when none is queued.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove) {
    TraceLine t;
    trace_begin(&t, "PeekMessageA");
    take_interrupts();
    for (int i = 0; i < queue_count; i++) {
        if (!matches(queued(i), window, first, last)) continue;
        trace_int(&t, "msg", queued(i)->message);
        if (msg) *msg = *queued(i);
        if (remove & PM_REMOVE) queue_remove(i);
        return (BOOL)trace_end(&t, TRUE);
    }
    return (BOOL)trace_end(&t, FALSE);
}

// Key presses become character messages; nothing else changes. TRUE for a key press.
BOOL WINAPI TranslateMessage(const MSG *msg) {
    TraceLine t;
    trace_begin(&t, "TranslateMessage");
    if (!msg || msg->message != WM_KEYDOWN) return (BOOL)trace_end(&t, FALSE);
    WPARAM key = msg->wParam;
    if (key == VK_RETURN || key == VK_ESCAPE || (key >= 0x20 && key <= 0x5A))
        queue_post(msg->hwnd, WM_CHAR, key, msg->lParam);
    return (BOOL)trace_end(&t, TRUE);
}

// Hands a message to its window; a thread message or a stale window gives 0.
LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    TraceLine t;
    trace_begin(&t, "DispatchMessageA");
    if (msg) trace_int(&t, "msg", msg->message);
    Window *w = msg ? window_find(msg->hwnd) : nullptr;
    if (!w) return (LRESULT)trace_end(&t, 0);
    return (LRESULT)trace_end(&t, window_handle_message(w, msg->message, msg->wParam, msg->lParam));
}
