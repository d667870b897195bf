// One running instance of a program per key: a later start hands over to the
// first one, which raises OnRequest, and then ends.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

class TSingleInstance {
public:
    // key: any text naming what must stay single (such as a file's full path).
    explicit TSingleInstance(const std::string& key);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // True when an earlier instance holds the key and took the request: the
    // caller should end. When the earlier instance does not answer, this one
    // takes over and the result is false.
    bool HandedOver();
    std::function<void()> OnRequest;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    void Listen();
    std::string name_;
    HANDLE mutex_ = nullptr;
    HWND window_ = nullptr;
};
