/*
 * waypost: the proxy to use for a URL.
 *
 * waypost.exe (Windows ARM64 and x86-64; it exports the function as an executable does) and
 * libwaypost.so (Linux x86-64) export detectProxy, declared here for C and C++ callers. On Windows
 * the answer comes from WinHTTP's automatic proxy detection for the URL (WPAD and PAC scripts),
 * then from the user's configured proxy; on Linux from libproxy (desktop settings, proxy
 * environment variables, PAC).
 */
#ifndef WAYPOST_H
#define WAYPOST_H

#if defined(WAYPOST_BUILDING_LIBRARY) && defined(_WIN32)
#define WAYPOST_API __declspec(dllexport)
#elif defined(WAYPOST_BUILDING_LIBRARY)
#define WAYPOST_API __attribute__((visibility("default")))
#else
#define WAYPOST_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * The proxy for `url` (UTF-8): "DIRECT" for no proxy, "host:port" for one (the whole port,
 * as the program prints it), or "" on failure (no session could be opened, no memory). On
 * Linux a SOCKS proxy is answered "socks=host:port", as the Windows proxy list names one, and
 * user information in a proxy URL ("user:password@") never reaches an answer. A null `url` is
 * treated as "".
 *
 * On Linux the query waits at most 5 seconds: a PAC script that never ends, or a PAC server
 * that never answers, gives "DIRECT" (as a script that fails does) and the next call asks
 * afresh.
 *
 * The returned text belongs to waypost: "DIRECT" and "" are constants; a "host:port" answer
 * stays valid until the next call that answers with a proxy. Calls must not overlap (one
 * thread at a time): a caller that overlaps them may find its text replaced by another call's,
 * but waypost's own memory stays sound. Nothing here throws or aborts. When the system cannot
 * be asked at all, two lines go to standard error: the reason ("WinHttpOpen failed: <code>" on
 * Windows, "libproxy could not start: out of memory" on Linux) and "Failed to resolve proxy
 * for: <url>".
 */
WAYPOST_API const char* detectProxy(const char* url);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif /* WAYPOST_H */
