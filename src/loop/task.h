#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <optional>
#include <utility>

#include "loop/event_loop.h"

namespace vgx {

template <class T = void>
class Task;

namespace detail {

struct PromiseBase {
    // Resumes whoever awaited the task once it ends; a task nobody awaits just stops.
    struct FinalAwaiter {
        bool await_ready() const noexcept { return false; }
        template <class P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> done) const noexcept {
            const std::coroutine_handle<> next = done.promise().continuation;
            return next ? next : std::noop_coroutine();
        }
        void await_resume() const noexcept {}
    };

    std::suspend_always initial_suspend() const noexcept { return {}; }
    FinalAwaiter final_suspend() const noexcept { return {}; }
    void unhandled_exception() noexcept { exception = std::current_exception(); }
    void Rethrow() const {
        if (exception)
            std::rethrow_exception(exception);
    }

    std::coroutine_handle<> continuation;
    std::exception_ptr exception;
};

template <class T>
struct Promise : PromiseBase {
    Task<T> get_return_object() noexcept;
    template <class U>
    void return_value(U&& v) {
        value.emplace(std::forward<U>(v));
    }
    std::optional<T> value;
};

template <>
struct Promise<void> : PromiseBase {
    Task<void> get_return_object() noexcept;
    void return_void() const noexcept {}
};

}  // namespace detail

// A coroutine that starts when it is awaited, or when Start() is called on it. The task owns its
// frame: dropping a task that is suspended (waiting on a timer, a probe, a question) ends it
// there, and whatever it waited on is cancelled with the awaiter that armed it.
template <class T>
class [[nodiscard]] Task {
public:
    using promise_type = detail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() = default;
    explicit Task(Handle h) : h_(h) {}
    Task(Task&& other) noexcept : h_(std::exchange(other.h_, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            Reset();
            h_ = std::exchange(other.h_, {});
        }
        return *this;
    }
    ~Task() { Reset(); }

    // Runs a task that nobody awaits up to its first wait.
    void Start() { h_.resume(); }
    bool Valid() const { return static_cast<bool>(h_); }
    bool Done() const { return h_ && h_.done(); }
    // Ends the task wherever it waits (nothing more of it runs).
    void Reset() {
        if (h_)
            std::exchange(h_, {}).destroy();
    }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
        h_.promise().continuation = awaiting;
        return h_;
    }
    T await_resume() {
        h_.promise().Rethrow();
        if constexpr (!std::is_void_v<T>)
            return std::move(*h_.promise().value);
    }

private:
    Handle h_;
};

namespace detail {

template <class T>
Task<T> Promise<T>::get_return_object() noexcept {
    return Task<T>(std::coroutine_handle<Promise<T>>::from_promise(*this));
}

inline Task<void> Promise<void>::get_return_object() noexcept {
    return Task<void>(std::coroutine_handle<Promise<void>>::from_promise(*this));
}

}  // namespace detail

// Awaits an operation that reports through a callback: `start` arms it with the callback and
// returns its handle. Make it a named local and await that (g++ 12 destroys a lambda made
// inside a co_await expression twice). The callback must come from the loop, never from inside `start`; when the
// awaiting task is dropped first, the handle goes with it and the operation is cancelled.
template <class T>
class Callback {
public:
    using Starter = std::function<LoopHandle(std::function<void(T)>)>;
    explicit Callback(Starter start) : start_(std::move(start)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> awaiting) {
        handle_ = start_([this, awaiting](T value) {
            result_.emplace(std::move(value));
            awaiting.resume();
        });
    }
    T await_resume() { return std::move(*result_); }

private:
    Starter start_;
    LoopHandle handle_;
    std::optional<T> result_;
};

// Waits on the loop without holding it up.
inline Callback<bool> Sleep(EventLoop& loop, std::chrono::milliseconds delay) {
    return Callback<bool>([&loop, delay](std::function<void(bool)> done) {
        return loop.After(delay, [done = std::move(done)] { done(true); });
    });
}

}  // namespace vgx
