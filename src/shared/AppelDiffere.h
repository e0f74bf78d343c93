#pragma once

// A call handed to the thread of a QObject through Qt's event queue
// (QMetaObject::invokeMethod, queued), as the workers hand their results to
// the user-interface thread. Qt orders the posting before the call with its
// own locks inside libQt6Core; ThreadSanitizer does not see them in an
// uninstrumented Qt and would take everything the call carries for a race.
// In a ThreadSanitizer build the hand-over is told to it: a release before
// posting and an acquire before the call touches anything, on one shared
// token (this orders every post before every later call: coarser than Qt's
// per-queue order, never finer); the posting itself, where Qt builds and
// later drops its call object, is not recorded (the receiving thread reads
// that object, and the posting thread may free it, with only Qt's hidden
// atomics between them). The way back is told too: the call releases the
// token when it is done and the posting thread acquires it once Qt has
// returned, because when the call has already run by then, Qt frees the
// call object, and what it captured, on the posting thread. Elsewhere it is
// plain invokeMethod.

#include <QMetaObject>
#include <QObject>

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define RUVIZARO_APPEL_ANNONCE 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define RUVIZARO_APPEL_ANNONCE 1
#endif
#endif

#ifdef RUVIZARO_APPEL_ANNONCE
#include <sanitizer/tsan_interface.h>
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
inline char JetonAppelDiffere = 0;
#endif

template <typename Appel>
void AppelDiffere(QObject* cible, Appel&& appel)
{
#ifdef RUVIZARO_APPEL_ANNONCE
    __tsan_release(&JetonAppelDiffere);
    __tsan_ignore_thread_begin();
    QMetaObject::invokeMethod(
        cible,
        [appel = std::forward<Appel>(appel)]() mutable {
            __tsan_acquire(&JetonAppelDiffere);
            appel();
            __tsan_release(&JetonAppelDiffere);
        },
        Qt::QueuedConnection);
    __tsan_ignore_thread_end();
    __tsan_acquire(&JetonAppelDiffere);
#else
    QMetaObject::invokeMethod(cible, std::forward<Appel>(appel), Qt::QueuedConnection);
#endif
}
