#pragma once

namespace imaging {

// What a long loop reports to: the progress window is one implementation, the terminal
// and the tests are others. Range errors are raised as the gauge raises them.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void setMin(int value) = 0;
    virtual void setMax(int value) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void step() = 0;
    // Lets pending window events run (the import does this once per row).
    virtual void processEvents() { }
};

// A Progress that only counts; for loops run without a window.
class NullProgress final : public Progress
{
public:
    void setMin(int) override { }
    void setMax(int) override { }
    void show() override { }
    void hide() override { }
    void step() override { }
};

} // namespace imaging
