// Network sessions over TCP (see net_session.h for the wire protocol).
//
// Each host or client owns one io_context run by one worker thread; every
// socket operation happens on that thread. Frames are read into a fixed
// buffer per connection and handed to the handler there.
//
// Sending from other threads: the frame is copied, under a small mutex, into
// the connection's pending queue, a byte array of fixed size allocated when
// the connection was accepted; when no write is in flight a flush is posted
// to the worker's io_context (its operation lives in memory the connection
// keeps for it), which swaps the pending and writing arrays and writes. So a
// send allocates nothing, whatever the thread. A frame that does not fit in
// the pending queue (a peer that stops reading) is dropped with kSessionBusy
// and counted for that peer; the queue never grows.
//
// A host's QueueTo leaves the frame in the pending queue without posting;
// Flush posts one operation (in memory the host keeps for it) that, on the
// worker, starts the write of every connection with frames waiting and none
// in flight. A burst of frames to many peers thus costs the sender one wake
// of the worker instead of one per frame, and the worker does not contend
// for the queues while the burst is being queued.
//
// Bounds of a host: connections in their handshake carry a deadline timer,
// and an accepted connection's frame must be complete within the same time
// of its first byte (FrameStream). A connection beyond the cap is closed as
// soon as it is accepted, unless the accepted peer that has sent nothing for
// the longest time has been silent for the silent-peer time: that one is
// closed instead. A client queues an empty frame, the keep-alive, when it
// has queued nothing for its keep-alive interval, so a panel that only
// watches is never the silent one; the host takes it as a sign of life and
// never hands it on. A closed connection is freed when the last operation
// holding it ends.
//
// Every bound runs on the session clock (session_clock.h): the timers are
// timers of that clock, and when a test advances it, each host and client
// checks its bounds on its worker at once (PostClockCheck) instead of at its
// timers' next wake, which the system still schedules in real time. A
// client's Connect waits for the host's answer on the steady clock: that
// time-out is its caller's wait, not a bound of the session.
#include "zu/platform/net_session.h"

#include <algorithm>
#include <array>
#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <thread>
#include <vector>

#include "session_clock_watch.h"
#include "zu/platform/session_clock.h"

namespace zu::platform {
namespace {

using asio::ip::tcp;
using Executor = asio::io_context::executor_type;
using SessionTimer = asio::basic_waitable_timer<SessionClock>;

constexpr size_t kFrameHeaderBytes = 4;
constexpr size_t kAnswerBytes = 8;  // i32 result, u32 player id

// Frame streams alive in this process (SessionConnectionsAlive).
std::atomic<size_t> StreamsAlive{0};

void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Memory for one kind of operation of a connection, of which at most one is
// outstanding at a time (the posted flush, the read, the write): asio frees
// an operation's memory before calling its handler, so the next one of the
// kind finds it free. Sending and receiving therefore allocate nothing,
// whatever the thread; a larger or concurrent request falls back to the heap.
class HandlerMemory {
  public:
    void* Allocate(size_t size) {
        bool expected = false;
        if (size <= sizeof storage_ && in_use_.compare_exchange_strong(expected, true)) {
            return storage_;
        }
        return ::operator new(size);
    }
    void Deallocate(void* p) {
        if (p == storage_) {
            in_use_.store(false, std::memory_order_release);
        } else {
            ::operator delete(p);
        }
    }

  private:
    alignas(std::max_align_t) unsigned char storage_[512];
    std::atomic<bool> in_use_{false};
};

template <typename T>
class HandlerAllocator {
  public:
    using value_type = T;
    explicit HandlerAllocator(HandlerMemory& memory) : memory_(&memory) {}
    template <typename U>
    HandlerAllocator(const HandlerAllocator<U>& other) : memory_(other.memory_) {}
    T* allocate(size_t n) { return static_cast<T*>(memory_->Allocate(sizeof(T) * n)); }
    void deallocate(T* p, size_t) { memory_->Deallocate(p); }
    bool operator==(const HandlerAllocator& other) const { return memory_ == other.memory_; }

  private:
    template <typename>
    friend class HandlerAllocator;
    HandlerMemory* memory_;
};

// How a frame stream's read loop ended by itself.
enum class StreamEnd {
    None,
    Closed,          // the peer closed (or reset) the connection between frames
    ClosedMidFrame,  // ... in the middle of a frame
    BadFrame,        // a length outside what the stream takes
    FrameTimeout,    // a frame begun was not complete within the frame time
};

// One TCP connection carrying length-prefixed frames. Reading and closing
// happen on the owner's worker thread; Queue may be called from any thread.
//
// A frame's header is read in two steps, its first byte and then the rest,
// so that the stream knows when a frame has begun: with a frame time set
// (SetFrameLimit), a frame not complete that long after its first byte
// ends the stream. One timer wait at most is outstanding for it: when it
// fires for a frame that has since completed, it is set again for the frame
// in progress, if any.
class FrameStream : public std::enable_shared_from_this<FrameStream> {
  public:
    // Returns false to stop reading (the owner closes the stream itself).
    // An empty frame (size 0) comes only when AcceptEmptyFrames was called.
    using FrameFn = std::function<bool(FrameStream& stream, const uint8_t* data, size_t size)>;
    // The read loop ended by itself (peer gone, error, malformed or late
    // frame); Cause() says which.
    using ClosedFn = std::function<void(FrameStream& stream)>;
    using Clock = SessionClock;

    FrameStream(tcp::socket socket, Executor executor)
        : socket_(std::move(socket)),
          executor_(executor),
          deadline_(executor),
          frame_timer_(executor),
          made_(Clock::now()),
          last_heard_(made_) {
        StreamsAlive.fetch_add(1, std::memory_order_relaxed);
        NoteQueued();
    }
    ~FrameStream() { StreamsAlive.fetch_sub(1, std::memory_order_relaxed); }
    FrameStream(const FrameStream&) = delete;
    FrameStream& operator=(const FrameStream&) = delete;

    void Start(FrameFn on_frame, ClosedFn on_closed) {
        on_frame_ = std::move(on_frame);
        on_closed_ = std::move(on_closed);
        ReadHeader();
    }

    // Worker thread, before the first Queue: allocates the two send arrays
    // of `capacity` bytes each (at least one largest frame).
    void PrepareSending(size_t capacity) {
        capacity = std::max(capacity, kFrameHeaderBytes + kMaxFrameBytes);
        std::lock_guard<std::mutex> lock(out_mutex_);
        if (pending_) return;
        capacity_ = capacity;
        pending_ = std::make_unique<uint8_t[]>(capacity);
        writing_ = std::make_unique<uint8_t[]>(capacity);
    }

    // Worker thread. Empty frames are keep-alives from now on, not malformed.
    void AcceptEmptyFrames() { accept_empty_ = true; }
    // Worker thread. Each frame must be complete within `ms` of its first
    // byte (0: no bound).
    void SetFrameLimit(uint32_t ms) { frame_limit_ = std::chrono::milliseconds(ms); }

    // Any thread; allocates nothing. With `wake` false the frame waits for
    // WriteWaiting (or a write in flight, which takes it along). A size of 0
    // queues an empty frame.
    int32_t Queue(const void* data, size_t size, bool wake = true) {
        if (!open_.load(std::memory_order_acquire)) return kSessionNotConnected;
        {
            std::lock_guard<std::mutex> lock(out_mutex_);
            if (!pending_) return kSessionNotConnected;
            if (capacity_ - pending_size_ < kFrameHeaderBytes + size) {
                dropped_.fetch_add(1, std::memory_order_relaxed);
                return kSessionBusy;
            }
            uint8_t* at = pending_.get() + pending_size_;
            PutU32(at, static_cast<uint32_t>(size));
            if (size != 0) std::memcpy(at + kFrameHeaderBytes, data, size);
            pending_size_ += kFrameHeaderBytes + size;
            sent_.fetch_add(1, std::memory_order_relaxed);
            NoteQueued();
            if (write_busy_ || !wake) return kSessionOk;
            write_busy_ = true;
        }
        PostWrite();
        return kSessionOk;
    }

    // Any thread (the worker, from a host's flush): starts writing the
    // frames Queue left waiting, unless a write is in flight.
    void WriteWaiting() {
        {
            std::lock_guard<std::mutex> lock(out_mutex_);
            if (pending_size_ == 0 || write_busy_) return;
            write_busy_ = true;
        }
        PostWrite();
    }

    // Worker thread only. Quiet: the closed callback is not called.
    void Close() {
        open_.store(false, std::memory_order_release);
        quiet_ = true;
        asio::error_code ignored;
        deadline_.cancel();
        frame_timer_.cancel();
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

    // Worker thread only: writes one short frame on its own, then closes.
    void SendLastAndClose(const uint8_t* data, size_t size) {
        open_.store(false, std::memory_order_release);
        quiet_ = true;
        deadline_.cancel();
        frame_timer_.cancel();
        size = std::min(size, last_.size() - kFrameHeaderBytes);
        PutU32(last_.data(), static_cast<uint32_t>(size));
        std::memcpy(last_.data() + kFrameHeaderBytes, data, size);
        asio::async_write(socket_, asio::buffer(last_.data(), kFrameHeaderBytes + size),
                          [self = shared_from_this()](const asio::error_code&, size_t) {
                              asio::error_code ignored;
                              self->socket_.shutdown(tcp::socket::shutdown_both, ignored);
                              self->socket_.close(ignored);
                          });
    }

    bool IsOpen() const { return open_.load(std::memory_order_acquire); }
    uint64_t FramesSent() const { return sent_.load(std::memory_order_relaxed); }
    uint64_t FramesDropped() const { return dropped_.load(std::memory_order_relaxed); }
    uint64_t FramesReceived() const { return received_.load(std::memory_order_relaxed); }
    uint64_t ReceivedDropped() const { return received_dropped_.load(std::memory_order_relaxed); }
    uint64_t KeepAlives() const { return keepalives_.load(std::memory_order_relaxed); }
    void CountReceived() { received_.fetch_add(1, std::memory_order_release); }
    void CountReceivedDropped() { received_dropped_.fetch_add(1, std::memory_order_relaxed); }
    void CountKeepAlive() { keepalives_.fetch_add(1, std::memory_order_relaxed); }
    // The handshake deadline (host side; worker thread only).
    SessionTimer& Deadline() { return deadline_; }
    // When the stream was made (the host's accept).
    Clock::time_point Made() const { return made_; }
    // Any thread: a frame has begun and is not complete yet.
    bool MidFrame() const { return in_frame_.load(std::memory_order_relaxed); }
    // Worker thread: ends the stream when its frame in progress is overdue
    // (the clock may have moved ahead of the frame timer's wake).
    void CheckFrameTime() {
        if (!quiet_ && MidFrame() && FrameOverdue()) Ended(StreamEnd::FrameTimeout);
    }
    // Worker thread: why the read loop ended by itself.
    StreamEnd Cause() const { return cause_; }
    // Worker thread: when a byte last came (a frame begun or completed), or
    // the stream was made.
    Clock::time_point LastHeard() const { return last_heard_; }
    // Any thread: when a frame was last queued (or the stream was made).
    Clock::time_point LastQueued() const {
        return Clock::time_point(Clock::duration(last_queued_.load(std::memory_order_relaxed)));
    }

    PlayerId player = 0;
    bool accepted = false;  // worker thread only

  private:
    void NoteQueued() {
        last_queued_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    }

    // Once write_busy_ was set by the caller: at most one posted write at a
    // time, so its operation always finds post_memory_ free.
    void PostWrite() {
        asio::post(executor_,
                   asio::bind_allocator(HandlerAllocator<int>(post_memory_),
                                        [self = shared_from_this()] { self->StartWrite(); }));
    }

    // The header's first byte: a frame begins when it comes.
    void ReadHeader() {
        asio::async_read(
            socket_, asio::buffer(header_.data(), 1),
            asio::bind_allocator(HandlerAllocator<int>(read_memory_),
                                 [self = shared_from_this()](const asio::error_code& ec, size_t) {
                                     if (ec) return self->Ended(StreamEnd::Closed);
                                     self->FrameBegun();
                                     self->ReadHeaderRest();
                                 }));
    }

    void ReadHeaderRest() {
        asio::async_read(socket_, asio::buffer(header_.data() + 1, kFrameHeaderBytes - 1),
                         asio::bind_allocator(
                             HandlerAllocator<int>(read_memory_),
                             [self = shared_from_this()](const asio::error_code& ec, size_t) {
                                 if (ec) return self->Ended(StreamEnd::ClosedMidFrame);
                                 const uint32_t size = GetU32(self->header_.data());
                                 if (size > kMaxFrameBytes || (size == 0 && !self->accept_empty_)) {
                                     return self->Ended(StreamEnd::BadFrame);
                                 }
                                 if (size == 0) return self->Deliver(0);
                                 self->ReadBody(size);
                             }));
    }

    void ReadBody(uint32_t size) {
        asio::async_read(
            socket_, asio::buffer(body_.data(), size),
            asio::bind_allocator(HandlerAllocator<int>(read_memory_),
                                 [self = shared_from_this()](const asio::error_code& ec, size_t n) {
                                     if (ec) return self->Ended(StreamEnd::ClosedMidFrame);
                                     self->Deliver(n);
                                 }));
    }

    void Deliver(size_t size) {
        in_frame_.store(false, std::memory_order_relaxed);
        last_heard_ = Clock::now();
        if (!on_frame_(*this, body_.data(), size)) return;
        if (quiet_) return;
        ReadHeader();
    }

    void FrameBegun() {
        in_frame_.store(true, std::memory_order_relaxed);
        frame_started_ = last_heard_ = Clock::now();
        if (frame_limit_.count() > 0 && !frame_timer_armed_) ArmFrameTimer();
    }

    void ArmFrameTimer() {
        frame_timer_armed_ = true;
        frame_timer_.expires_at(frame_started_ + frame_limit_);
        frame_timer_.async_wait(asio::bind_allocator(
            HandlerAllocator<int>(timer_memory_),
            [self = shared_from_this()](const asio::error_code& ec) { self->FrameTimerDone(ec); }));
    }

    void FrameTimerDone(const asio::error_code& ec) {
        frame_timer_armed_ = false;
        if (ec || quiet_ || !MidFrame()) return;
        if (FrameOverdue()) return Ended(StreamEnd::FrameTimeout);
        ArmFrameTimer();  // for the frame begun since
    }

    bool FrameOverdue() const {
        return frame_limit_.count() > 0 && Clock::now() >= frame_started_ + frame_limit_;
    }

    // The owner hears of the end before the socket closes, so its counters
    // are up to date by the time the peer sees the close.
    void Ended(StreamEnd cause) {
        if (!quiet_) {
            cause_ = cause;
            quiet_ = true;
            open_.store(false, std::memory_order_release);
            if (on_closed_) on_closed_(*this);
        }
        Close();
    }

    void StartWrite() {
        size_t size;
        {
            std::lock_guard<std::mutex> lock(out_mutex_);
            if (pending_size_ == 0 || !socket_.is_open()) {
                write_busy_ = false;
                return;
            }
            std::swap(pending_, writing_);
            size = pending_size_;
            pending_size_ = 0;
        }
        asio::async_write(
            socket_, asio::buffer(writing_.get(), size),
            asio::bind_allocator(HandlerAllocator<int>(write_memory_),
                                 [self = shared_from_this()](const asio::error_code& ec, size_t) {
                                     if (ec) {
                                         // The read side sees the failure too and reports it.
                                         std::lock_guard<std::mutex> lock(self->out_mutex_);
                                         self->open_.store(false, std::memory_order_release);
                                         self->write_busy_ = false;
                                         self->pending_size_ = 0;
                                         return;
                                     }
                                     self->StartWrite();
                                 }));
    }

    tcp::socket socket_;
    Executor executor_;
    SessionTimer deadline_;
    SessionTimer frame_timer_;
    FrameFn on_frame_;
    ClosedFn on_closed_;
    std::array<uint8_t, kFrameHeaderBytes> header_{};
    std::array<uint8_t, kMaxFrameBytes> body_{};
    std::atomic<bool> open_{true};
    // Worker thread only:
    bool quiet_ = false;
    bool accept_empty_ = false;
    StreamEnd cause_ = StreamEnd::None;
    std::chrono::milliseconds frame_limit_{0};
    std::atomic<bool> in_frame_{false};  // written by the worker only
    bool frame_timer_armed_ = false;
    Clock::time_point frame_started_{};
    const Clock::time_point made_;
    Clock::time_point last_heard_;

    std::mutex out_mutex_;
    size_t capacity_ = 0;                 // guarded by out_mutex_
    std::unique_ptr<uint8_t[]> pending_;  // guarded by out_mutex_
    size_t pending_size_ = 0;             // guarded by out_mutex_
    std::unique_ptr<uint8_t[]> writing_;  // owned by the write in flight
    bool write_busy_ = false;             // guarded by out_mutex_: a write posted or in flight
    std::atomic<Clock::rep> last_queued_{0};
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> dropped_{0};
    std::atomic<uint64_t> received_{0};
    std::atomic<uint64_t> received_dropped_{0};
    std::atomic<uint64_t> keepalives_{0};
    std::array<uint8_t, kFrameHeaderBytes + kAnswerBytes> last_{};
    HandlerMemory post_memory_;
    HandlerMemory read_memory_;
    HandlerMemory write_memory_;
    HandlerMemory timer_memory_;
};

// ---------------------------------------------------------------------------

class AsioSessionHost;

// SetSessionHostPort's port, or -1: the port each Host is asked for.
std::atomic<int32_t> HostPortOverride{-1};

// Hosts that are hosting now, for HostedSessions, and the last counters of
// the hostings that ended, for EndedSessions.
std::mutex HostRegistryMutex;
std::set<AsioSessionHost*> HostRegistry;
std::vector<SessionHostStats> EndedRegistry;  // guarded by HostRegistryMutex
uint64_t EndedCount = 0;                      // guarded by HostRegistryMutex

std::mutex AttemptsMutex;
std::vector<HostingAttempt> Attempts;  // guarded by AttemptsMutex
std::atomic<uint64_t> AttemptsTotal{0};

int32_t NoteAttempt(uint16_t port, int32_t result) {
    std::lock_guard<std::mutex> lock(AttemptsMutex);
    if (Attempts.size() >= kHostingAttemptsKept) Attempts.erase(Attempts.begin());
    Attempts.push_back({port, result});
    AttemptsTotal.fetch_add(1, std::memory_order_release);
    return result;
}

// A name as a session carries it: at most kMaxSessionNameBytes bytes.
std::string SessionName(const std::string& name) {
    return name.substr(0, std::min(name.size(), kMaxSessionNameBytes));
}

void KeepEnded(SessionHostStats stats) {
    std::lock_guard<std::mutex> lock(HostRegistryMutex);
    stats.ended = ++EndedCount;
    stats.connections = 0;
    if (EndedRegistry.size() >= kEndedSessionsKept) EndedRegistry.erase(EndedRegistry.begin());
    EndedRegistry.push_back(std::move(stats));
}

class AsioSessionHost final : public SessionHost, SessionClockWatcher {
  public:
    ~AsioSessionHost() override { Close(); }

    int32_t Host(uint16_t port, const AppId& app, Handler handler, const SessionLimits& limits,
                 const SessionDescription& description) override {
        if (!handler || limits.max_connections == 0) return kSessionBadArgument;
        std::lock_guard<std::mutex> control(control_mutex_);
        if (io_) return kSessionBadArgument;  // already hosting
        auto io = std::make_unique<asio::io_context>(1);
        auto acceptor = std::make_unique<tcp::acceptor>(*io);
        asio::error_code ec;
        acceptor->open(tcp::v4(), ec);
        if (!ec) acceptor->set_option(tcp::acceptor::reuse_address(true), ec);
        const int32_t forced = HostPortOverride.load(std::memory_order_acquire);
        if (forced >= 0) port = static_cast<uint16_t>(forced);
        if (!ec) acceptor->bind(tcp::endpoint(tcp::v4(), port), ec);
        if (ec) {
            return NoteAttempt(port, ec == asio::error::address_in_use ? kSessionAddressInUse
                                                                       : kSessionBadArgument);
        }
        acceptor->listen(asio::socket_base::max_listen_connections, ec);
        if (ec) return NoteAttempt(port, kSessionAddressInUse);

        app_ = app;
        limits_ = limits;
        {
            std::lock_guard<std::mutex> lock(players_mutex_);
            description_ = {SessionName(description.session_name),
                            SessionName(description.server_name)};
        }
        // Counters describe this hosting.
        closed_over_cap_.store(0, std::memory_order_relaxed);
        frame_timeouts_.store(0, std::memory_order_relaxed);
        closed_silent_.store(0, std::memory_order_relaxed);
        frames_received_.store(0, std::memory_order_relaxed);
        handshake_timeouts_.store(0, std::memory_order_relaxed);
        served_.store(0, std::memory_order_relaxed);
        handler_ = std::move(handler);
        io_ = std::move(io);
        {
            std::lock_guard<std::mutex> lock(players_mutex_);
            dropped_departed_ = 0;
            received_dropped_departed_ = 0;
            executor_.emplace(io_->get_executor());
        }
        // A flush the last Close dropped before it ran.
        flush_posted_.store(false, std::memory_order_release);
        acceptor_ = std::move(acceptor);
        port_.store(acceptor_->local_endpoint(ec).port(), std::memory_order_relaxed);
        retry_timer_ = std::make_unique<asio::steady_timer>(*io_);
        guard_.emplace(io_->get_executor());
        StartAccept();
        worker_ = std::thread([io = io_.get()] {
            MarkSessionWorkerThread();
            io->run();
        });
        WatchSessionClock(this);
        {
            std::lock_guard<std::mutex> lock(HostRegistryMutex);
            HostRegistry.insert(this);
        }
        return NoteAttempt(port_.load(std::memory_order_relaxed), kSessionOk);
    }

    int32_t SendTo(PlayerId player, const void* data, size_t size) override {
        return Send(player, data, size, true);
    }

    int32_t QueueTo(PlayerId player, const void* data, size_t size) override {
        return Send(player, data, size, false);
    }

    void Flush() override {
        // One flush posted at a time: it runs after everything queued
        // before this call (it lowers the flag before it looks).
        if (flush_posted_.exchange(true, std::memory_order_acq_rel)) return;
        // Held while posting, so Close cannot drop the io_context under us.
        std::lock_guard<std::mutex> lock(players_mutex_);
        if (!executor_ || players_.empty()) {
            flush_posted_.store(false, std::memory_order_release);
            return;
        }
        asio::post(*executor_, asio::bind_allocator(HandlerAllocator<int>(flush_memory_),
                                                    [this] { WriteWaiting(); }));
    }

    void NoteReceivedDropped(PlayerId player) override {
        std::lock_guard<std::mutex> lock(players_mutex_);
        auto it = players_.find(player);
        if (it != players_.end()) it->second->CountReceivedDropped();
    }

    void Close() override {
        std::lock_guard<std::mutex> control(control_mutex_);
        if (!io_) return;
        UnwatchSessionClock(this);
        {
            std::lock_guard<std::mutex> lock(HostRegistryMutex);
            HostRegistry.erase(this);
        }
        // The peers as they were; the counters once everything is closed.
        SessionHostStats last = Stats();
        if (worker_.joinable() && worker_.get_id() == std::this_thread::get_id()) {
            // Called from our own handler: close now; the thread is joined
            // by the next Close or Host from another thread.
            CloseAll();
            io_->stop();
            KeepEnded(Final(std::move(last)));
            return;
        }
        asio::post(*io_, [this] {
            CloseAll();
            io_->stop();
        });
        if (worker_.joinable()) worker_.join();
        CloseAll();  // in case the worker had already ended
        waiting_.clear();
        retry_timer_.reset();
        acceptor_.reset();
        guard_.reset();
        io_.reset();  // drops the remaining handlers and with them the streams
        handler_ = nullptr;
        KeepEnded(Final(std::move(last)));
        port_.store(0, std::memory_order_relaxed);
    }

    size_t PlayerCount() const override {
        std::lock_guard<std::mutex> lock(players_mutex_);
        return players_.size();
    }

    SessionHostStats Stats() const override {
        SessionHostStats stats;
        stats.port = port_.load(std::memory_order_relaxed);
        stats.connections = connections_.load(std::memory_order_relaxed);
        stats.closed_over_cap = closed_over_cap_.load(std::memory_order_relaxed);
        stats.handshake_timeouts = handshake_timeouts_.load(std::memory_order_relaxed);
        stats.frame_timeouts = frame_timeouts_.load(std::memory_order_relaxed);
        stats.closed_silent = closed_silent_.load(std::memory_order_relaxed);
        stats.connections_served = served_.load(std::memory_order_relaxed);
        stats.frames_received = frames_received_.load(std::memory_order_acquire);
        std::lock_guard<std::mutex> lock(players_mutex_);
        stats.session_name = description_.session_name;
        stats.server_name = description_.server_name;
        stats.frames_dropped = dropped_departed_;
        stats.received_dropped = received_dropped_departed_;
        stats.peers.reserve(players_.size());
        for (const auto& [player, stream] : players_) {
            stats.peers.push_back({player, stream->FramesSent(), stream->FramesDropped(),
                                   stream->FramesReceived(), stream->ReceivedDropped(),
                                   stream->KeepAlives(), stream->MidFrame()});
            stats.frames_dropped += stream->FramesDropped();
            stats.received_dropped += stream->ReceivedDropped();
        }
        return stats;
    }

  private:
    // The clock moved: the bounds are checked on the worker, then the
    // check is reported done behind the closes it started.
    void PostClockCheck(uint64_t generation) override {
        asio::post(*io_, [this, io = io_.get(), generation] {
            CheckBounds();
            asio::post(*io, [this, generation] { SessionClockChecked(this, generation); });
        });
    }

    // Worker thread: closes the connections overdue with their connect
    // request or with a frame begun.
    void CheckBounds() {
        const auto now = SessionClock::now();
        const auto handshake = std::chrono::milliseconds(limits_.handshake_timeout_ms);
        std::vector<std::shared_ptr<FrameStream>> streams;
        for (const auto& stream : waiting_) {
            if (now >= stream->Made() + handshake) streams.push_back(stream);
        }
        for (const auto& stream : streams) OnHandshakeTimeout(*stream);
        streams.clear();
        {
            std::lock_guard<std::mutex> lock(players_mutex_);
            for (const auto& entry : players_) streams.push_back(entry.second);
        }
        for (const auto& stream : streams) stream->CheckFrameTime();
    }

    int32_t Send(PlayerId player, const void* data, size_t size, bool wake) {
        if (data == nullptr || size == 0 || size > kMaxFrameBytes) return kSessionBadArgument;
        // Held while queueing, so Close cannot drop the io_context under us.
        std::lock_guard<std::mutex> lock(players_mutex_);
        auto it = players_.find(player);
        if (it == players_.end()) return kSessionNotConnected;
        return it->second->Queue(data, size, wake);
    }

    // Worker thread: the posted flush. Each connection's write is posted in
    // turn (to this thread: no wake), so the lock is held only briefly.
    void WriteWaiting() {
        flush_posted_.store(false, std::memory_order_release);
        std::lock_guard<std::mutex> lock(players_mutex_);
        for (auto& entry : players_) entry.second->WriteWaiting();
    }

    // `last` (the peers as they were) with the counters as they are now.
    SessionHostStats Final(SessionHostStats last) const {
        const SessionHostStats now = Stats();
        last.closed_over_cap = now.closed_over_cap;
        last.handshake_timeouts = now.handshake_timeouts;
        last.frame_timeouts = now.frame_timeouts;
        last.closed_silent = now.closed_silent;
        last.connections_served = now.connections_served;
        last.frames_dropped = std::max(last.frames_dropped, now.frames_dropped);
        last.received_dropped = std::max(last.received_dropped, now.received_dropped);
        return last;
    }

    void StartAccept() {
        acceptor_->async_accept([this](const asio::error_code& ec, tcp::socket socket) {
            if (!acceptor_->is_open()) return;
            if (ec) {
                // Out of descriptors or similar: try again a little later.
                retry_timer_->expires_after(std::chrono::milliseconds(50));
                retry_timer_->async_wait([this](const asio::error_code& wait_ec) {
                    if (!wait_ec && acceptor_->is_open()) StartAccept();
                });
                return;
            }
            Admit(std::move(socket));
            StartAccept();
        });
    }

    // Worker thread: a TCP connection came in. Over the cap it is closed at
    // once, unless a silent peer makes room for it; otherwise it has the
    // handshake time to send its connect request.
    void Admit(tcp::socket socket) {
        asio::error_code ignored;
        if (connections_.load(std::memory_order_relaxed) >= limits_.max_connections &&
            !CloseSilentPeer()) {
            closed_over_cap_.fetch_add(1, std::memory_order_relaxed);
            socket.close(ignored);
            return;
        }
        socket.set_option(tcp::no_delay(true), ignored);
        auto stream = std::make_shared<FrameStream>(std::move(socket), io_->get_executor());
        waiting_.insert(stream);
        connections_.fetch_add(1, std::memory_order_relaxed);
        stream->Deadline().expires_at(stream->Made() +
                                      std::chrono::milliseconds(limits_.handshake_timeout_ms));
        stream->Deadline().async_wait(
            [this, weak = std::weak_ptr<FrameStream>(stream)](const asio::error_code& ec) {
                if (ec) return;
                if (auto late = weak.lock(); late && !late->accepted) OnHandshakeTimeout(*late);
            });
        stream->Start([this](FrameStream& s, const uint8_t* data,
                             size_t size) { return OnFrame(s, data, size); },
                      [this](FrameStream& s) { OnClosed(s); });
    }

    // Worker thread: the connect request did not come in time.
    void OnHandshakeTimeout(FrameStream& stream) {
        if (waiting_.erase(stream.shared_from_this()) == 0) return;
        connections_.fetch_sub(1, std::memory_order_relaxed);
        handshake_timeouts_.fetch_add(1, std::memory_order_relaxed);
        stream.Close();
    }

    // Worker thread: with every connection taken, closes the accepted peer
    // silent longest when it has been silent for the limit; true when it
    // made room.
    bool CloseSilentPeer() {
        if (limits_.silent_peer_ms == 0) return false;
        std::shared_ptr<FrameStream> quietest;
        {
            std::lock_guard<std::mutex> lock(players_mutex_);
            for (const auto& entry : players_) {
                if (!quietest || entry.second->LastHeard() < quietest->LastHeard()) {
                    quietest = entry.second;
                }
            }
        }
        if (!quietest || FrameStream::Clock::now() - quietest->LastHeard() <
                             std::chrono::milliseconds(limits_.silent_peer_ms)) {
            return false;
        }
        closed_silent_.fetch_add(1, std::memory_order_relaxed);  // counted before the peer sees it
        Depart(*quietest);
        quietest->Close();
        return true;
    }

    // Worker thread: the connect request is the identifier, optionally
    // followed by the name of the session the client looks for.
    bool RequestMatches(const uint8_t* data, size_t size, bool* named) const {
        if (size < app_.size() || size > app_.size() + kMaxSessionNameBytes) return false;
        if (std::memcmp(data, app_.data(), app_.size()) != 0) return false;
        *named = size > app_.size();
        if (!*named) return true;
        const std::string_view name(reinterpret_cast<const char*>(data) + app_.size(),
                                    size - app_.size());
        return name == description_.session_name;  // written only while not hosting
    }

    // Worker thread.
    bool OnFrame(FrameStream& stream, const uint8_t* data, size_t size) {
        if (stream.accepted) {
            if (size == 0) {  // a keep-alive: the peer is there, nothing for the owner
                stream.CountKeepAlive();
                return true;
            }
            handler_(SessionEvent::Message, stream.player, data, size);
            stream.CountReceived();  // after the handler: the owner holds it, or dropped it
            frames_received_.fetch_add(1, std::memory_order_release);
            return true;
        }
        auto self = stream.shared_from_this();
        waiting_.erase(self);
        stream.Deadline().cancel();
        uint8_t answer[kAnswerBytes + 1 + kMaxSessionNameBytes];
        bool named = false;
        if (!RequestMatches(data, size, &named)) {
            connections_.fetch_sub(1, std::memory_order_relaxed);
            PutU32(answer, static_cast<uint32_t>(kSessionRefused));
            PutU32(answer + 4, 0);
            stream.SendLastAndClose(answer, kAnswerBytes);
            return false;
        }
        stream.player = next_player_++;
        if (next_player_ == 0) next_player_ = 1;
        stream.accepted = true;
        stream.AcceptEmptyFrames();
        stream.SetFrameLimit(limits_.handshake_timeout_ms);
        served_.fetch_add(1, std::memory_order_relaxed);
        stream.PrepareSending(limits_.send_queue_bytes);
        PutU32(answer, static_cast<uint32_t>(kSessionOk));
        PutU32(answer + 4, stream.player);
        size_t answer_size = kAnswerBytes;
        if (named) {  // the client named the session: it learns the server's name
            const std::string& server = description_.server_name;
            answer[kAnswerBytes] = static_cast<uint8_t>(server.size());
            std::memcpy(answer + kAnswerBytes + 1, server.data(), server.size());
            answer_size += 1 + server.size();
        }
        stream.Queue(answer, answer_size);  // before anyone can SendTo this player
        {
            std::lock_guard<std::mutex> lock(players_mutex_);
            players_[stream.player] = self;
        }
        handler_(SessionEvent::Connected, stream.player, nullptr, 0);
        return true;
    }

    // Worker thread: the peer went away, sent a malformed frame or left a
    // frame unfinished for too long.
    void OnClosed(FrameStream& stream) {
        if (!stream.accepted) {
            if (waiting_.erase(stream.shared_from_this()) != 0)
                connections_.fetch_sub(1, std::memory_order_relaxed);
            return;
        }
        if (stream.Cause() == StreamEnd::FrameTimeout) {
            frame_timeouts_.fetch_add(1, std::memory_order_relaxed);
        }
        Depart(stream);
    }

    // Worker thread: an accepted peer's connection has closed; false when it
    // had already left.
    bool Depart(FrameStream& stream) {
        {
            std::lock_guard<std::mutex> lock(players_mutex_);
            if (players_.erase(stream.player) == 0) return false;
            dropped_departed_ += stream.FramesDropped();
            received_dropped_departed_ += stream.ReceivedDropped();
        }
        connections_.fetch_sub(1, std::memory_order_relaxed);
        handler_(SessionEvent::Disconnected, stream.player, nullptr, 0);
        return true;
    }

    // Worker thread, or any thread once the worker has ended.
    void CloseAll() {
        asio::error_code ignored;
        if (acceptor_) acceptor_->close(ignored);
        if (retry_timer_) retry_timer_->cancel();
        std::map<PlayerId, std::shared_ptr<FrameStream>> players;
        {
            std::lock_guard<std::mutex> lock(players_mutex_);
            players.swap(players_);
            executor_.reset();  // no flush is posted any more
            for (auto& entry : players) {
                dropped_departed_ += entry.second->FramesDropped();
                received_dropped_departed_ += entry.second->ReceivedDropped();
            }
        }
        for (auto& entry : players) entry.second->Close();
        for (auto& stream : waiting_) stream->Close();
        waiting_.clear();
        connections_.store(0, std::memory_order_relaxed);
    }

    std::mutex control_mutex_;  // serialises Host and Close
    std::unique_ptr<asio::io_context> io_;
    std::unique_ptr<tcp::acceptor> acceptor_;
    std::unique_ptr<asio::steady_timer> retry_timer_;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> guard_;
    std::thread worker_;
    Handler handler_;
    AppId app_{};
    SessionLimits limits_;
    PlayerId next_player_ = 1;                        // worker thread
    std::set<std::shared_ptr<FrameStream>> waiting_;  // worker thread: not yet accepted
    mutable std::mutex players_mutex_;
    std::map<PlayerId, std::shared_ptr<FrameStream>> players_;
    uint64_t dropped_departed_ = 0;           // guarded by players_mutex_
    uint64_t received_dropped_departed_ = 0;  // guarded by players_mutex_
    std::optional<Executor> executor_;        // guarded by players_mutex_; set while hosting
    SessionDescription description_;          // guarded by players_mutex_ (set by Host)
    std::atomic<bool> flush_posted_{false};
    HandlerMemory flush_memory_;  // the posted flush's operation

    std::atomic<uint16_t> port_{0};
    std::atomic<uint64_t> frames_received_{0};
    std::atomic<size_t> connections_{0};  // written by the worker
    std::atomic<uint64_t> closed_over_cap_{0};
    std::atomic<uint64_t> handshake_timeouts_{0};
    std::atomic<uint64_t> frame_timeouts_{0};
    std::atomic<uint64_t> closed_silent_{0};
    std::atomic<uint64_t> served_{0};
};

// ---------------------------------------------------------------------------

class AsioSessionClient final : public SessionClient, SessionClockWatcher {
  public:
    ~AsioSessionClient() override { Close(); }

    int32_t Connect(const std::string& host, uint16_t port, const AppId& app, Handler handler,
                    uint32_t timeout_ms, const SessionLimits& limits,
                    const std::string& session_name) override {
        if (!handler || port == 0 || session_name.size() > kMaxSessionNameBytes) {
            return kSessionBadArgument;
        }
        std::lock_guard<std::mutex> control(control_mutex_);
        if (io_) return kSessionBadArgument;  // connected already; Close first

        auto io = std::make_unique<asio::io_context>(1);
        std::vector<tcp::endpoint> endpoints;
        asio::error_code ec;
        const asio::ip::address address = asio::ip::make_address(host, ec);
        if (!ec) {
            endpoints.emplace_back(address, port);
        } else {
            tcp::resolver resolver(*io);
            auto results = resolver.resolve(tcp::v4(), host, std::to_string(port), ec);
            if (ec) return kSessionNoHost;
            for (const auto& entry : results) endpoints.push_back(entry.endpoint());
            if (endpoints.empty()) return kSessionNoHost;
        }

        handler_ = std::move(handler);
        request_.assign(app.begin(), app.end());
        request_.insert(request_.end(), session_name.begin(), session_name.end());
        named_ = !session_name.empty();
        limits_ = limits;
        {
            std::lock_guard<std::mutex> lock(result_mutex_);
            result_ = 1;  // pending
            end_ = SessionEnd::None;
            server_name_.clear();
        }
        io_ = std::move(io);
        guard_.emplace(io_->get_executor());
        socket_ = std::make_unique<tcp::socket>(*io_);
        deadline_ = std::make_unique<asio::steady_timer>(*io_);
        keepalive_ = std::make_unique<SessionTimer>(*io_);
        worker_ = std::thread([io = io_.get()] {
            MarkSessionWorkerThread();
            io->run();
        });
        WatchSessionClock(this);

        asio::post(*io_, [this, endpoints, timeout_ms] {
            deadline_->expires_after(std::chrono::milliseconds(timeout_ms));
            deadline_->async_wait([this](const asio::error_code& wait_ec) {
                if (wait_ec) return;
                Finish(kSessionNoHost);  // nothing answered in time
            });
            asio::async_connect(*socket_, endpoints,
                                [this](const asio::error_code& connect_ec, const tcp::endpoint&) {
                                    if (connect_ec) return Finish(kSessionNoHost);
                                    OnConnected();
                                });
        });

        int32_t result;
        {
            std::unique_lock<std::mutex> lock(result_mutex_);
            result_ready_.wait(lock, [this] { return result_ != 1; });
            result = result_;
        }
        if (result != kSessionOk) ShutDownLocked();
        return result;
    }

    int32_t Send(const void* data, size_t size) override {
        if (data == nullptr || size == 0 || size > kMaxFrameBytes) return kSessionBadArgument;
        std::lock_guard<std::mutex> lock(result_mutex_);
        if (!connected_ || !stream_) return kSessionNotConnected;
        return stream_->Queue(data, size);
    }

    void Close() override {
        std::lock_guard<std::mutex> control(control_mutex_);
        ShutDownLocked();
    }

    bool IsConnected() const override {
        std::lock_guard<std::mutex> lock(result_mutex_);
        return connected_;
    }

    std::string ServerName() const override {
        std::lock_guard<std::mutex> lock(result_mutex_);
        return server_name_;
    }

    SessionEnd EndReason() const override {
        std::lock_guard<std::mutex> lock(result_mutex_);
        return end_;
    }

  private:
    // Worker thread: TCP is up; send the connect request and await the answer.
    void OnConnected() {
        asio::error_code ignored;
        socket_->set_option(tcp::no_delay(true), ignored);
        auto stream = std::make_shared<FrameStream>(std::move(*socket_), io_->get_executor());
        stream->PrepareSending(limits_.send_queue_bytes);
        {
            std::lock_guard<std::mutex> lock(result_mutex_);
            stream_ = stream;
        }
        stream->Start([this](FrameStream& s, const uint8_t* data,
                             size_t size) { return OnFrame(s, data, size); },
                      [this](FrameStream& s) { OnEnded(s); });
        stream->Queue(request_.data(), request_.size());
    }

    bool OnFrame(FrameStream& stream, const uint8_t* data, size_t size) {
        if (stream.accepted) {
            handler_(SessionEvent::Message, 0, data, size);
            return true;
        }
        // The answer: result and player id, then (to a request that named
        // the session) the server's name.
        const int32_t answer = size >= kAnswerBytes ? static_cast<int32_t>(GetU32(data)) : -1;
        if (answer != kSessionOk) {
            stream.Close();
            Finish(kSessionRefused);
            return false;
        }
        if (named_ && size > kAnswerBytes) {
            const size_t length = std::min<size_t>(data[kAnswerBytes], size - kAnswerBytes - 1);
            std::lock_guard<std::mutex> lock(result_mutex_);
            server_name_.assign(reinterpret_cast<const char*>(data) + kAnswerBytes + 1, length);
        }
        stream.accepted = true;
        stream.player = GetU32(data + 4);
        Finish(kSessionOk);
        if (limits_.keepalive_ms != 0) ArmKeepAlive(stream.LastQueued());
        return true;
    }

    static SessionEnd EndOf(StreamEnd cause) {
        switch (cause) {
            case StreamEnd::ClosedMidFrame:
                return SessionEnd::ClosedMidFrame;
            case StreamEnd::BadFrame:
                return SessionEnd::BadFrame;
            default:
                return SessionEnd::Closed;
        }
    }

    // Worker thread: the next keep-alive is due `keepalive_ms` after the
    // last frame queued; one timer wait at a time, in memory kept for it.
    void ArmKeepAlive(FrameStream::Clock::time_point last_queued) {
        keepalive_->expires_at(last_queued + std::chrono::milliseconds(limits_.keepalive_ms));
        keepalive_->async_wait(asio::bind_allocator(
            HandlerAllocator<int>(keepalive_memory_), [this](const asio::error_code& ec) {
                if (ec) return;
                if (const auto stream = SendKeepAliveIfDue()) ArmKeepAlive(stream->LastQueued());
            }));
    }

    // Worker thread: queues a keep-alive when nothing was queued for the
    // interval; the stream while connected (else null).
    std::shared_ptr<FrameStream> SendKeepAliveIfDue() {
        std::shared_ptr<FrameStream> stream;
        {
            std::lock_guard<std::mutex> lock(result_mutex_);
            if (!connected_) return nullptr;
            stream = stream_;
        }
        if (!stream || limits_.keepalive_ms == 0) return stream;
        const auto interval = std::chrono::milliseconds(limits_.keepalive_ms);
        if (SessionClock::now() >= stream->LastQueued() + interval) {
            stream->Queue(nullptr, 0);  // sent nothing for the interval
        }
        return stream;
    }

    // The clock moved: a keep-alive due goes out now (the timer, when it
    // wakes, finds it sent and waits for the next); the check is reported
    // done behind the write it started.
    void PostClockCheck(uint64_t generation) override {
        asio::post(*io_, [this, io = io_.get(), generation] {
            SendKeepAliveIfDue();
            asio::post(*io, [this, generation] { SessionClockChecked(this, generation); });
        });
    }

    // Worker thread: the host closed the connection, sent a bad frame, or
    // refused the client by closing before its answer.
    void OnEnded(const FrameStream& stream) {
        bool was_connected;
        {
            std::lock_guard<std::mutex> lock(result_mutex_);
            was_connected = connected_;
            connected_ = false;
            if (was_connected) end_ = EndOf(stream.Cause());
        }
        if (keepalive_) keepalive_->cancel();
        if (was_connected) {
            handler_(SessionEvent::Disconnected, 0, nullptr, 0);
        } else {
            Finish(kSessionRefused);  // closed before answering: a host at its cap
        }
    }

    // Worker thread: settles the connect result once.
    void Finish(int32_t result) {
        std::lock_guard<std::mutex> lock(result_mutex_);
        if (result_ != 1) return;
        asio::error_code ignored;
        deadline_->cancel();
        if (result != kSessionOk) {
            socket_->close(ignored);
            if (stream_) stream_->Close();
        }
        connected_ = result == kSessionOk;
        result_ = result;
        result_ready_.notify_all();
    }

    void ShutDownLocked() {
        if (!io_) return;
        UnwatchSessionClock(this);
        if (worker_.joinable() && worker_.get_id() == std::this_thread::get_id()) {
            asio::post(*io_, [this] { CloseOnWorker(); });
            return;  // joined by the next Close or Connect from another thread
        }
        asio::post(*io_, [this] { CloseOnWorker(); });
        if (worker_.joinable()) worker_.join();
        {
            std::lock_guard<std::mutex> lock(result_mutex_);
            connected_ = false;
            stream_.reset();
        }
        deadline_.reset();
        keepalive_.reset();
        socket_.reset();
        guard_.reset();
        io_.reset();
        handler_ = nullptr;
    }

    void CloseOnWorker() {
        asio::error_code ignored;
        if (deadline_) deadline_->cancel();
        if (keepalive_) keepalive_->cancel();
        if (socket_) socket_->close(ignored);
        std::shared_ptr<FrameStream> stream;
        {
            std::lock_guard<std::mutex> lock(result_mutex_);
            connected_ = false;
            stream = stream_;
        }
        if (stream) stream->Close();
        io_->stop();
    }

    std::mutex control_mutex_;  // serialises Connect and Close
    std::unique_ptr<asio::io_context> io_;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> guard_;
    std::unique_ptr<tcp::socket> socket_;
    std::unique_ptr<asio::steady_timer> deadline_;
    std::unique_ptr<SessionTimer> keepalive_;
    HandlerMemory keepalive_memory_;  // the keep-alive timer's wait
    std::thread worker_;
    Handler handler_;
    std::vector<uint8_t> request_;  // the connect request: identifier and session name
    bool named_ = false;            // the request names the session
    SessionLimits limits_;

    mutable std::mutex result_mutex_;
    std::condition_variable result_ready_;
    int32_t result_ = 1;  // 1 while the connect is pending
    bool connected_ = false;
    SessionEnd end_ = SessionEnd::None;
    std::string server_name_;
    std::shared_ptr<FrameStream> stream_;
};

}  // namespace

std::unique_ptr<SessionHost> CreateSessionHost() {
    return std::make_unique<AsioSessionHost>();
}

std::unique_ptr<SessionClient> CreateSessionClient() {
    return std::make_unique<AsioSessionClient>();
}

void SetSessionHostPort(int32_t port) {
    HostPortOverride.store(port >= 0 && port <= 65535 ? port : -1, std::memory_order_release);
}

std::vector<SessionHostStats> HostedSessions() {
    std::vector<SessionHostStats> all;
    {
        std::lock_guard<std::mutex> lock(HostRegistryMutex);
        for (const AsioSessionHost* host : HostRegistry) all.push_back(host->Stats());
    }
    std::sort(all.begin(), all.end(),
              [](const SessionHostStats& a, const SessionHostStats& b) { return a.port < b.port; });
    return all;
}

std::vector<HostingAttempt> HostingAttempts(uint64_t* total) {
    std::lock_guard<std::mutex> lock(AttemptsMutex);
    if (total != nullptr) *total = AttemptsTotal.load(std::memory_order_relaxed);
    return Attempts;
}

uint64_t HostingAttemptsTotal() {
    return AttemptsTotal.load(std::memory_order_acquire);
}

std::vector<SessionHostStats> EndedSessions() {
    std::lock_guard<std::mutex> lock(HostRegistryMutex);
    return EndedRegistry;
}

uint64_t EndedSessionsTotal() {
    std::lock_guard<std::mutex> lock(HostRegistryMutex);
    return EndedCount;
}

size_t SessionConnectionsAlive() {
    return StreamsAlive.load(std::memory_order_relaxed);
}

}  // namespace zu::platform
