#pragma once
// What a page may ask of the window that holds it. Both requests are safe from any thread:
// they are posted to the user-interface thread, so a worker never touches the window itself.
class IPageHost {
  public:
    // Restore the window, bring it to the foreground and show page `index` (1-8).
    virtual void RequestShowPage(int index) = 0;
    // End the program as Quit does.
    virtual void RequestQuit() = 0;

  protected:
    ~IPageHost() = default;
};
