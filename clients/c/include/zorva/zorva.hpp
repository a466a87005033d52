#ifndef ZORVA_ZORVA_HPP
#define ZORVA_ZORVA_HPP
/*
 * The C++ interface of libzorva (C++17 or newer): header-only, over the C
 * calls of <zorva/zorva.h>, whose comments say what each item draws, where
 * the origin lies (bottom-left, y upward) and how arc angles run. Link the
 * program with the C library as for C (Zorva::zorva in CMake, `pkg-config
 * --libs zorva`). Its names are in the namespace Zorva (as in the CMake
 * package; `zorva` is the C handle's type).
 *
 *     Zorva::Display d = Zorva::Display::open();  // a new file and a display
 *     d.start();
 *     d.line_color(0, 255, 0);
 *     d.line(10, 10, 200, 150);
 *     d.text(200, 260, "Zorva");
 *     // d's destructor closes the handle; the picture stays open
 *
 * Errors are exceptions of type Zorva::Error, which carry the library's
 * status (as a std::error_code of Zorva::category()) and its message. Every
 * call also has an overload that takes a std::error_code& last and throws
 * nothing: it clears the code on success and sets it on failure, and
 * Display::message() then says what went wrong in words. Codes compare
 * with Zorva::Status values (`ec == Zorva::Status::closed`).
 *
 * A text or font name longer than ZORVA_MAX_STRING bytes is not an error:
 * text() and font() write it cut and return false (true when the whole
 * string went out). Failure is final as in C: after an error that fails the
 * handle, every later call fails with Status::failed.
 *
 * A Display belongs to one thread at a time, like the C handle.
 */

#if __cplusplus < 201703L
#error "zorva.hpp needs C++17 or newer"
#endif

#include <zorva/zorva.h>

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace Zorva {

/* The library's results (zorva_status), as error codes of category(). */
enum class Status : int {
  ok = ZORVA_OK,
  cut = ZORVA_CUT,
  invalid = ZORVA_EINVAL,
  file = ZORVA_EFILE,
  not_found = ZORVA_ENOTFOUND,
  launch = ZORVA_ELAUNCH,
  write = ZORVA_EWRITE,
  closed = ZORVA_ECLOSED,
  failed = ZORVA_EFAILED,
  no_memory = ZORVA_ENOMEM,
};

/* The error category of Status codes, named "zorva"; its messages are
   zorva_strerror's. */
inline const std::error_category& category() noexcept {
  struct Category final : std::error_category {
    const char* name() const noexcept override { return "zorva"; }
    std::string message(int status) const override { return zorva_strerror(status); }
  };
  static const Category instance;
  return instance;
}

inline std::error_code make_error_code(Status status) noexcept {
  return {static_cast<int>(status), category()};
}

}  // namespace Zorva

template <>
struct std::is_error_code_enum<Zorva::Status> : std::true_type {};

namespace Zorva {

/* A failed call: code() is the library's status, what() its message. */
class Error : public std::runtime_error {
public:
  Error(int status, const std::string& message)
      : std::runtime_error(message), code_(make_error_code(static_cast<Status>(status))) {}
  const std::error_code& code() const noexcept { return code_; }
  Status status() const noexcept { return static_cast<Status>(code_.value()); }

private:
  std::error_code code_;
};

enum class LineType : int {
  solid = ZORVA_SOLID,
  dashed = ZORVA_DASHED,
  dotted = ZORVA_DOTTED,
  dash_dot = ZORVA_DASH_DOT,
};

/* Where a text's x lies on it. */
enum class Align : int { left = ZORVA_LEFT, center = ZORVA_CENTER, right = ZORVA_RIGHT };

/* What closing a Display does with the display. */
enum class Close {
  leave_open, /* the picture stays until the user closes it */
  exit,       /* the exit item closes the display */
};

struct Options {
  /* false: only create the file, for a display that follows it elsewhere. */
  bool launch = true;
  /* The zorvad program to start; empty: the search zorva_options describes. */
  std::string zorvad;
  /* What the destructor and close() do. */
  Close at_close = Close::leave_open;
};

/* One session: a command file and the display that follows it. Move-only;
   the destructor closes the handle as Options::at_close says and never
   throws. A default-constructed, moved-from or closed Display holds no
   handle: its calls fail with Status::invalid. */
class Display {
public:
  /* Creates the command file `file`, which must not exist yet (empty: a
     private file in $TMPDIR), and starts a display on it unless
     options.launch is false; see zorva_open. Throws Error on failure. */
  static Display open(std::string_view file = {}, const Options& options = {}) {
    zorva* z = nullptr;
    const int rc = rawOpen(file, options, &z);
    if (rc == ZORVA_OK) return Display(z, options.at_close);
    const std::string why = z ? zorva_errmsg(z) : rc == ZORVA_EINVAL ? nulName : zorva_strerror(rc);
    zorva_close(z, ZORVA_LEAVE_OPEN);
    throw Error(rc, why);
  }
  /* The same without exceptions. On failure the Display returned holds the
     failed handle, so that message() says why (none when even that could
     not be made). */
  static Display open(std::string_view file, const Options& options, std::error_code& ec) noexcept {
    zorva* z = nullptr;
    const int rc = rawOpen(file, options, &z);
    ec = code(rc);
    return Display(z, options.at_close);
  }

  Display() noexcept = default;
  Display(Display&& other) noexcept : z_(other.z_), atClose_(other.atClose_) { other.z_ = nullptr; }
  Display& operator=(Display&& other) noexcept {
    if (this != &other) {
      closeHandle(atClose_);
      z_ = other.z_;
      atClose_ = other.atClose_;
      other.z_ = nullptr;
    }
    return *this;
  }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;
  ~Display() { closeHandle(atClose_); }

  /* Ends the session as Options::at_close says, or as `how` says. The
     handle is gone afterwards also when the exit item could not be written
     (a failed handle writes none), which throws Error or sets `ec`.
     Closing a Display that holds no handle does nothing. */
  void close() { close(atClose_); }
  void close(Close how) {
    if (!z_) return;
    const int rc = how == Close::exit ? zorva_exit(z_) : ZORVA_OK;
    const std::string why = rc < 0 ? zorva_errmsg(z_) : "";
    closeHandle(Close::leave_open);
    if (rc < 0) throw Error(rc, why);
  }
  void close(std::error_code& ec) noexcept { close(atClose_, ec); }
  void close(Close how, std::error_code& ec) noexcept { ec = code(closeHandle(how)); }

  /* The command file's name as given to open() (or the private name made);
     "" when there is no handle or the open failed. */
  std::string_view file() const noexcept { return zorva_file(z_); }
  /* Empty while the handle works, else the status that failed it for good;
     Status::invalid when there is no handle. */
  std::error_code failed() const noexcept { return code(zorva_failed(z_)); }
  /* What the last failed call did wrong, in words. */
  std::string_view message() const noexcept { return z_ ? zorva_errmsg(z_) : noHandle; }
  /* The C handle, for the calls of zorva.h; it stays this Display's. */
  zorva* native_handle() const noexcept { return z_; }

  /* Control items. */
  void start() { check(zorva_start(z_)); }
  void start(std::error_code& ec) noexcept { ec = code(zorva_start(z_)); }
  void exit() { check(zorva_exit(z_)); }
  void exit(std::error_code& ec) noexcept { ec = code(zorva_exit(z_)); }
  void clear() { check(zorva_clear(z_)); }
  void clear(std::error_code& ec) noexcept { ec = code(zorva_clear(z_)); }

  /* Drawing items, in the current attributes (zorva.h says how each is
     placed). text() returns false when the string was cut. */
  void line(int x1, int y1, int x2, int y2) { check(zorva_line(z_, x1, y1, x2, y2)); }
  void line(int x1, int y1, int x2, int y2, std::error_code& ec) noexcept {
    ec = code(zorva_line(z_, x1, y1, x2, y2));
  }
  bool text(int x, int y, std::string_view s) { return whole(zorva_textn(z_, x, y, bytes(s), s.size())); }
  bool text(int x, int y, std::string_view s, std::error_code& ec) noexcept {
    return whole(zorva_textn(z_, x, y, bytes(s), s.size()), ec);
  }
  void circle(int x, int y, int radius) { check(zorva_circle(z_, x, y, radius)); }
  void circle(int x, int y, int radius, std::error_code& ec) noexcept {
    ec = code(zorva_circle(z_, x, y, radius));
  }
  /* Counter-clockwise on the screen from `begin` to `end`, whole degrees
     measured clockwise from the positive x axis: 0 to 90 draws three
     quarters of the circle; equal angles the whole circle. */
  void arc(int x, int y, int radius, int begin, int end) { check(zorva_arc(z_, x, y, radius, begin, end)); }
  void arc(int x, int y, int radius, int begin, int end, std::error_code& ec) noexcept {
    ec = code(zorva_arc(z_, x, y, radius, begin, end));
  }
  void polyline(int x, int y) { check(zorva_polyline(z_, x, y)); }
  void polyline(int x, int y, std::error_code& ec) noexcept { ec = code(zorva_polyline(z_, x, y)); }
  void polyvertex(int x, int y) { check(zorva_polyvertex(z_, x, y)); }
  void polyvertex(int x, int y, std::error_code& ec) noexcept { ec = code(zorva_polyvertex(z_, x, y)); }

  /* Attribute items: they apply to the items that follow. font() returns
     false when the name was cut. */
  void line_color(int red, int green, int blue) { check(zorva_line_color(z_, red, green, blue)); }
  void line_color(int red, int green, int blue, std::error_code& ec) noexcept {
    ec = code(zorva_line_color(z_, red, green, blue));
  }
  void text_color(int red, int green, int blue) { check(zorva_text_color(z_, red, green, blue)); }
  void text_color(int red, int green, int blue, std::error_code& ec) noexcept {
    ec = code(zorva_text_color(z_, red, green, blue));
  }
  void line_width(int width) { check(zorva_line_width(z_, width)); }
  void line_width(int width, std::error_code& ec) noexcept { ec = code(zorva_line_width(z_, width)); }
  void line_type(LineType type) { check(zorva_line_type(z_, static_cast<int>(type))); }
  void line_type(LineType type, std::error_code& ec) noexcept {
    ec = code(zorva_line_type(z_, static_cast<int>(type)));
  }
  void text_height(int height) { check(zorva_text_height(z_, height)); }
  void text_height(int height, std::error_code& ec) noexcept { ec = code(zorva_text_height(z_, height)); }
  bool font(std::string_view face) { return whole(zorva_fontn(z_, bytes(face), face.size())); }
  bool font(std::string_view face, std::error_code& ec) noexcept {
    return whole(zorva_fontn(z_, bytes(face), face.size()), ec);
  }
  void text_align(Align align) { check(zorva_text_align(z_, static_cast<int>(align))); }
  void text_align(Align align, std::error_code& ec) noexcept {
    ec = code(zorva_text_align(z_, static_cast<int>(align)));
  }

private:
  static constexpr const char* noHandle = "the Zorva::Display holds no handle (moved from or closed)";
  static constexpr const char* nulName = "the command file's name holds a NUL byte";

  Display(zorva* z, Close atClose) noexcept : z_(z), atClose_(atClose) {}

  /* zorva_open with a NUL-terminated copy of `file`. */
  static int rawOpen(std::string_view file, const Options& options, zorva** z) noexcept {
    if (file.find('\0') != std::string_view::npos) return ZORVA_EINVAL;
    std::string name;
    try {
      name.assign(file);
    } catch (const std::bad_alloc&) {
      return ZORVA_ENOMEM;
    }
    zorva_options o{};
    o.flags = options.launch ? 0u : ZORVA_NO_LAUNCH;
    o.zorvad = options.zorvad.empty() ? nullptr : options.zorvad.c_str();
    return zorva_open(z, file.empty() ? nullptr : name.c_str(), &o);
  }

  /* Closes the handle, if any, as `how` says; zorva_close's result. */
  int closeHandle(Close how) noexcept {
    zorva* z = z_;
    z_ = nullptr;
    return z ? zorva_close(z, how == Close::exit ? ZORVA_EXIT : ZORVA_LEAVE_OPEN) : ZORVA_OK;
  }

  /* A string_view's bytes for the C calls: never a null pointer. */
  static const char* bytes(std::string_view s) noexcept { return s.data() ? s.data() : ""; }

  /* ZORVA_OK and ZORVA_CUT are successes. */
  static std::error_code code(int rc) noexcept {
    return rc < 0 ? make_error_code(static_cast<Status>(rc)) : std::error_code();
  }
  void check(int rc) const {
    if (rc < 0) throw Error(rc, std::string(message()));
  }
  bool whole(int rc) const {
    check(rc);
    return rc == ZORVA_OK;
  }
  static bool whole(int rc, std::error_code& ec) noexcept {
    ec = code(rc);
    return rc == ZORVA_OK;
  }

  zorva* z_ = nullptr;
  Close atClose_ = Close::leave_open;
};

}  // namespace Zorva

#endif
