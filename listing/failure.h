// How the pure code of the disc tools and of quarrow-cli says that something could not be done: a
// Failure (the reason in words, and the file and line at fault where there is one), or a CResult that
// carries either the value asked for or that Failure. No Qt: the disc library uses it too.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

struct Failure {
    Failure() = default;
    explicit Failure(std::string messageIn, std::string fileIn = {}, long long lineIn = 0,
                     unsigned codeIn = 0)
        : message(std::move(messageIn)), file(std::move(fileIn)), line(lineIn), code(codeIn) {}

    std::string message; // the reason, for the user to read
    std::string file;    // the file at fault, as it is shown; empty when none is, or the caller names it
    // The 1-based line of that file, or of the list of names handed in, at fault; 0 when no one line is.
    long long line = 0;
    // What a caller may act on beyond the words, as the function that failed defines it; 0 for nothing.
    unsigned code = 0;

    bool operator==(const Failure&) const = default;
};

// Either a value or the Failure that stood in its way.
template <typename T> class [[nodiscard]] CResult {
public:
    CResult(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    CResult(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool Ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // The value; only when Ok() (otherwise they throw std::bad_variant_access).
    T& operator*() & { return std::get<0>(m_state); }
    const T& operator*() const& { return std::get<0>(m_state); }
    T&& operator*() && { return std::get<0>(std::move(m_state)); }
    T* operator->() { return &std::get<0>(m_state); }
    const T* operator->() const { return &std::get<0>(m_state); }

    // The failure; only when !Ok() (otherwise it throws).
    const Failure& Error() const { return std::get<1>(m_state); }
    Failure& Error() { return std::get<1>(m_state); }

private:
    std::variant<T, Failure> m_state;
};

// Success with nothing to carry, or the Failure.
template <> class [[nodiscard]] CResult<void> {
public:
    CResult() = default;
    CResult(Failure failure) : m_failure(std::move(failure)) {}

    bool Ok() const { return !m_failure; }
    explicit operator bool() const { return Ok(); }

    // The failure; only when !Ok() (otherwise it throws std::bad_optional_access).
    const Failure& Error() const { return m_failure.value(); }
    Failure& Error() { return m_failure.value(); }

private:
    std::optional<Failure> m_failure;
};
