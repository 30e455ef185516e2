#include "detect_proxy.h"

#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "proxy_source.h"

namespace waypost {

const char* ProxyTextBuffer::store(const ProxyResult& result) {
    const std::size_t size = result.host.size() + kPortTextRoom;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block) {
        return nullptr;
    }
    std::snprintf(block.get(), size, "%s:%d", result.host.c_str(), static_cast<int>(result.port));
    return block_.replace(std::move(block));
}

const char* detectProxyWith(ProxySource& source, ProxyTextBuffer& buffer, const char* url,
                            std::FILE* errors) noexcept {
    try {
        ProxyResult result;
        if (!source.proxyFor(url != nullptr ? url : "", result, errors)) {
            std::fprintf(errors, "Failed to resolve proxy for: %s\n", url != nullptr ? url : "");
            return kFailedAnswer;
        }
        if (result.direct) {
            return kDirectAnswer;
        }
        const char* text = buffer.store(result);
        return text != nullptr ? text : kFailedAnswer;
    } catch (...) {
        // Only allocation can throw here; the caller gets the failure answer.
        return kFailedAnswer;
    }
}

const char* detectProxyForProcess(ProxySource& source, const char* url) noexcept {
    // Null until the first call; constant-initialised, so an EXE loaded as a library (whose
    // static constructors never run) finds it too. Two first calls at once both make one and
    // one of them wins; the other is freed again.
    static std::atomic<ProxyTextBuffer*> proxyTextBuffer{nullptr};
    ProxyTextBuffer* buffer = proxyTextBuffer.load(std::memory_order_acquire);
    if (buffer == nullptr) {
        std::unique_ptr<ProxyTextBuffer> made(new (std::nothrow) ProxyTextBuffer());
        if (!made) {
            return kFailedAnswer;
        }
        if (proxyTextBuffer.compare_exchange_strong(buffer, made.get(),
                                                    std::memory_order_acq_rel)) {
            buffer = made.release();
        }
    }
    return detectProxyWith(source, *buffer, url);
}

}  // namespace waypost
