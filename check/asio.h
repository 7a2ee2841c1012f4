// Standalone Asio, the checker's event loop: epoll on Linux, I/O completion
// ports on Windows.
#ifndef KESTROVA_CHECK_ASIO_H_
#define KESTROVA_CHECK_ASIO_H_

#ifndef ASIO_STANDALONE
#define ASIO_STANDALONE
#endif
#ifndef ASIO_NO_DEPRECATED
#define ASIO_NO_DEPRECATED
#endif
#include <asio.hpp>

#endif  // KESTROVA_CHECK_ASIO_H_
