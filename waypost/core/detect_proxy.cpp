#include "detect_proxy.h"

#include <new>
#include <string>
#include <utility>

#include "proxy_source.h"
#include "text_convert.h"

namespace waypost {

const char* ProxyTextBuffer::store(const ProxyResult& result) {
    const std::size_t size = result.host.size() + 7;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block) {
        return nullptr;
    }
    std::snprintf(block.get(), size, "%s:%d", result.host.c_str(), static_cast<int>(result.port));
    block_ = std::move(block);
    size_ = size;
    return block_.get();
}

const char* detectProxyWith(ProxySource& source, ProxyTextBuffer& buffer, const char* url,
                            std::FILE* errors) noexcept {
    try {
        const std::u16string wideUrl = utf8ToWide(url);
        ProxyResult result;
        if (!source.proxyFor(wideUrl.c_str(), result, errors)) {
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
    // static constructors never run) finds it too.
    static ProxyTextBuffer* proxyTextBuffer = nullptr;
    if (proxyTextBuffer == nullptr) {
        proxyTextBuffer = new (std::nothrow) ProxyTextBuffer();
        if (proxyTextBuffer == nullptr) {
            return kFailedAnswer;
        }
    }
    return detectProxyWith(source, *proxyTextBuffer, url);
}

}  // namespace waypost
