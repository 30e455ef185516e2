#pragma once
// A scripted WinHTTP (the calls of winhttp_calls.h) that records what the core asked of it and
// checks that every string it handed out comes back exactly once.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "winhttp_calls.h"

namespace waypost::testing {

using OptionalText = std::optional<std::u16string>;

class FakeProxyPlatform final : public WinHttpCalls {
public:
    struct AutomaticAnswer {
        bool ok = false;
        std::uint32_t accessType = 0;
        OptionalText proxy;
        OptionalText bypass;
    };
    struct UserAnswer {
        bool ok = false;
        OptionalText autoConfigUrl;
        OptionalText proxy;
        OptionalText bypass;
    };

    // The script.
    bool sessionOpens = true;
    std::uint32_t openError = 0;
    AutomaticAnswer automatic;
    UserAnswer user;

    // What was seen.
    std::vector<std::string> calls;
    std::u16string userAgent;
    std::u16string url;
    AutoDetectOptions options;

    ~FakeProxyPlatform() override {
        for (const auto& [text, label] : outstanding_) {
            ADD_FAILURE() << "string never released: " << label;
            delete[] text;
        }
    }

    Session openSession(const char16_t* agent) override {
        calls.push_back("open");
        userAgent = agent;
        return sessionOpens ? reinterpret_cast<Session>(&session_) : nullptr;
    }

    std::uint32_t lastError() override {
        calls.push_back("lastError");
        return openError;
    }

    bool queryAutomaticProxy(Session session, const char16_t* query, const AutoDetectOptions& asked,
                             ProxyInfo& info) override {
        calls.push_back("automatic");
        EXPECT_EQ(session, reinterpret_cast<Session>(&session_));
        EXPECT_EQ(info.accessType, 0u);
        EXPECT_EQ(info.proxy, nullptr);
        EXPECT_EQ(info.bypass, nullptr);
        url = query;
        options = asked;
        if (automatic.ok) {
            info.accessType = automatic.accessType;
            info.proxy = handOut(automatic.proxy, "automatic.proxy");
            info.bypass = handOut(automatic.bypass, "automatic.bypass");
        }
        return automatic.ok;
    }

    bool queryUserSettings(UserProxySettings& settings) override {
        calls.push_back("user");
        EXPECT_EQ(settings.proxy, nullptr);
        if (user.ok) {
            settings.autoConfigUrl = handOut(user.autoConfigUrl, "user.autoConfigUrl");
            settings.proxy = handOut(user.proxy, "user.proxy");
            settings.bypass = handOut(user.bypass, "user.bypass");
        }
        return user.ok;
    }

    void releaseString(char16_t* text) override {
        const auto found = outstanding_.find(text);
        if (found == outstanding_.end()) {
            ADD_FAILURE()
                << "released a string that is not outstanding (twice, or never handed out)";
            return;
        }
        calls.push_back("release " + found->second);
        delete[] found->first;
        outstanding_.erase(found);
    }

    void closeSession(Session session) override {
        EXPECT_EQ(session, reinterpret_cast<Session>(&session_));
        calls.push_back("close");
    }

private:
    char16_t* handOut(const OptionalText& text, const std::string& label) {
        if (!text) {
            return nullptr;
        }
        auto* copy = new char16_t[text->size() + 1];
        std::char_traits<char16_t>::copy(copy, text->c_str(), text->size() + 1);
        outstanding_.emplace(copy, label);
        return copy;
    }

    int session_ = 0;
    std::map<char16_t*, std::string> outstanding_;
};

}  // namespace waypost::testing
