// Marks held for the length of a scope, put back however the scope is left.
#pragma once

namespace zn {

// A flag raised for a scope and given back its earlier value at the end.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Raised() { flag_ = was_; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
    bool was_;
};

// A count held one up for a scope (a control busy while its rows repaint).
class Held {
public:
    explicit Held(int& count) : count_(count) { ++count_; }
    ~Held() { --count_; }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    int& count_;
};

}  // namespace zn
