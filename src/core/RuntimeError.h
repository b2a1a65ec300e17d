#pragma once

#include <stdexcept>
#include <string>

// The runtime errors that end one decode's processing or one command; caught only at those
// two boundaries.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class OverflowError : public RuntimeError {
public:
    OverflowError()
        : RuntimeError("Overflow")
    {
    }
};

// An index outside the range of an array, a list of words or a grid.
class SubscriptError : public RuntimeError {
public:
    SubscriptError()
        : RuntimeError("Subscript out of range")
    {
    }
};

// A text that is no number where a number is needed.
class TypeMismatchError : public RuntimeError {
public:
    TypeMismatchError()
        : RuntimeError("Type mismatch")
    {
    }
};
