#pragma once
// A shared library opened by name when it is first needed rather than
// linked: the program then starts without loading it and everything it
// brings. Once loaded it stays for the rest of the run, so later openings
// find it at once.

namespace trakomer {

class SharedLibrary {
public:
    // Opens the library by its file name (its soname, as "libz.so.1").
    explicit SharedLibrary(const char* fileName);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }

    // Sets `function` to the library's function of that name; false (and
    // null) when the library or the function is missing.
    template <typename Function>
    bool Take(const char* name, Function& function) const {
        function = reinterpret_cast<Function>(Symbol(name));
        return function != nullptr;
    }

private:
    void* Symbol(const char* name) const;

    void* handle_ = nullptr;
};

}  // namespace trakomer
