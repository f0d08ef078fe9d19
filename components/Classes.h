// The base of every component: ownership and the plain notification event.
#pragma once

#include <functional>
#include <memory>
#include <vector>

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

// An event handler takes the object that raised the event.
using TNotifyEvent = std::function<void(TObject* sender)>;

// A component belongs to its owner, which destroys it (in reverse creation order)
// when it is destroyed itself.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return OwnerComponent; }
    const std::vector<TComponent*>& Components() const { return Owned; }

protected:
    // Destroys the owned components, newest first. A derived class whose members
    // the components use calls it in its own destructor.
    void DestroyComponents();

private:
    TComponent* OwnerComponent;
    std::vector<TComponent*> Owned;
};
