#include "components/Classes.h"

TComponent::TComponent(TComponent* owner) : OwnerComponent(owner) {
    if (OwnerComponent)
        OwnerComponent->Owned.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (OwnerComponent)
        std::erase(OwnerComponent->Owned, this);
}

void TComponent::DestroyComponents() {
    while (!Owned.empty()) {
        TComponent* last = Owned.back();
        Owned.pop_back();
        last->OwnerComponent = nullptr;
        delete last;
    }
}
