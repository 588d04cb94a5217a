#include "platform/fake/FakeAccessibility.h"

#include <algorithm>

namespace corvane {
namespace {

QString number(double value) {
    return QString::number(value);
}

// Consumes one scripted refusal; answers whether this write is refused.
bool takeRefusal(int& refusals) {
    if (refusals < 0)
        return true;
    if (refusals == 0)
        return false;
    --refusals;
    return true;
}

} // namespace

FakeAXProgram& FakeAccessibility::addProgram(int32_t pid, std::vector<FakeAXWindow> windows) {
    FakeAXProgram& made = m_programs[pid];
    for (FakeAXWindow& window : windows)
        addWindow(pid, std::move(window));
    return made;
}

FakeAXWindow& FakeAccessibility::addWindow(int32_t pid, FakeAXWindow window) {
    window.handle = m_nextHandle++;
    auto& list = m_programs[pid].windows;
    list.push_back(std::move(window));
    return list.back();
}

FakeAXProgram* FakeAccessibility::program(int32_t pid) {
    auto it = m_programs.find(pid);
    return it == m_programs.end() ? nullptr : &it->second;
}

FakeAXWindow* FakeAccessibility::window(int32_t pid, uint32_t number) {
    FakeAXProgram* owner = program(pid);
    if (!owner)
        return nullptr;
    auto it = std::find_if(owner->windows.begin(), owner->windows.end(),
                           [number](const FakeAXWindow& w) { return w.number == number; });
    return it == owner->windows.end() ? nullptr : &*it;
}

void FakeAccessibility::removeWindow(int32_t pid, uint32_t number) {
    if (FakeAXProgram* owner = program(pid)) {
        std::erase_if(owner->windows, [number](const FakeAXWindow& w) { return w.number == number; });
    }
}

void FakeAccessibility::removeProgram(int32_t pid) {
    m_programs.erase(pid);
}

int FakeAccessibility::windowListReads(int32_t pid) const {
    auto it = m_listReads.find(pid);
    return it == m_listReads.end() ? 0 : it->second;
}

AXRead<std::vector<AXElement>> FakeAccessibility::windows(int32_t pid) {
    ++m_listReads[pid];
    if (onWindowsRead)
        onWindowsRead(pid);
    FakeAXProgram* owner = program(pid);
    if (!owner)
        return AXRead<std::vector<AXElement>>::failure();
    if (owner->windowsStatus != AXStatus::ok)
        return AXRead<std::vector<AXElement>>::failure(owner->windowsStatus);
    std::vector<AXElement> elements;
    for (const FakeAXWindow& w : owner->windows)
        elements.push_back(AXElement{pid, w.handle});
    return AXRead<std::vector<AXElement>>::success(std::move(elements));
}

AXRead<AXElement> FakeAccessibility::elementFor(int32_t pid, std::optional<uint32_t> number) {
    FakeAXProgram* owner = program(pid);
    if (!owner)
        return AXRead<AXElement>::failure();
    if (!number)
        return AXRead<AXElement>::failure(AXStatus::noValue);
    FakeAXWindow* found = window(pid, *number);
    if (!found)
        return AXRead<AXElement>::failure();
    return AXRead<AXElement>::success(AXElement{pid, found->handle});
}

AXRead<AXElement> FakeAccessibility::focusedWindow(int32_t pid) {
    FakeAXProgram* owner = program(pid);
    return elementFor(pid, owner ? owner->focusedWindow : std::nullopt);
}

AXRead<AXElement> FakeAccessibility::mainWindow(int32_t pid) {
    FakeAXProgram* owner = program(pid);
    return elementFor(pid, owner ? owner->mainWindow : std::nullopt);
}

AXRead<AXElement> FakeAccessibility::frontWindow() {
    const std::optional<int32_t> pid = frontProgram ? frontProgram() : std::nullopt;
    if (!pid)
        return AXRead<AXElement>::failure(AXStatus::noValue);
    if (AXRead<AXElement> focused = focusedWindow(*pid); focused.ok())
        return focused;
    return mainWindow(*pid);
}

FakeAXWindow* FakeAccessibility::byHandle(const AXElement& element) {
    FakeAXProgram* owner = program(element.pid);
    if (!owner)
        return nullptr;
    for (FakeAXWindow& w : owner->windows) {
        if (w.handle == element.handle)
            return &w;
    }
    return nullptr;
}

FakeAXWindow* FakeAccessibility::readable(const AXElement& element, FakeAXAttribute attribute,
                                          AXStatus& status) {
    if (onAttributeRead)
        onAttributeRead(element, attribute);
    FakeAXWindow* w = byHandle(element);
    if (!w) {
        status = AXStatus::failed;
        return nullptr;
    }
    auto scripted = w->attributeStatus.find(attribute);
    status = scripted == w->attributeStatus.end() ? AXStatus::ok : scripted->second;
    return status == AXStatus::ok ? w : nullptr;
}

std::optional<uint32_t> FakeAccessibility::windowNumber(const AXElement& element) {
    FakeAXWindow* w = byHandle(element);
    if (!w || !w->numberReadable)
        return std::nullopt;
    return w->number;
}

AXRead<QPointF> FakeAccessibility::position(const AXElement& element) {
    AXStatus status;
    FakeAXWindow* w = readable(element, FakeAXAttribute::position, status);
    return w ? AXRead<QPointF>::success(w->frame.topLeft()) : AXRead<QPointF>::failure(status);
}

AXRead<QSizeF> FakeAccessibility::size(const AXElement& element) {
    AXStatus status;
    FakeAXWindow* w = readable(element, FakeAXAttribute::size, status);
    return w ? AXRead<QSizeF>::success(w->frame.size()) : AXRead<QSizeF>::failure(status);
}

AXRead<QString> FakeAccessibility::title(const AXElement& element) {
    AXStatus status;
    FakeAXWindow* w = readable(element, FakeAXAttribute::title, status);
    return w ? AXRead<QString>::success(w->title) : AXRead<QString>::failure(status);
}

AXRead<bool> FakeAccessibility::minimized(const AXElement& element) {
    AXStatus status;
    FakeAXWindow* w = readable(element, FakeAXAttribute::minimized, status);
    return w ? AXRead<bool>::success(w->minimized) : AXRead<bool>::failure(status);
}

AXRead<QString> FakeAccessibility::subrole(const AXElement& element) {
    AXStatus status;
    FakeAXWindow* w = readable(element, FakeAXAttribute::subrole, status);
    if (w && !w->subrole)
        return AXRead<QString>::failure(AXStatus::noValue);
    return w ? AXRead<QString>::success(*w->subrole) : AXRead<QString>::failure(status);
}

AXRead<bool> FakeAccessibility::enhancedUserInterface(int32_t pid) {
    FakeAXProgram* owner = program(pid);
    return owner ? owner->enhancedUserInterface : AXRead<bool>::failure();
}

bool FakeAccessibility::setEnhancedUserInterface(int32_t pid, bool on) {
    record(QStringLiteral("enhanced %1 %2").arg(pid).arg(on ? "true" : "false"));
    FakeAXProgram* owner = program(pid);
    if (!owner)
        return false;
    owner->enhancedUserInterface = AXRead<bool>::success(on);
    return true;
}

bool FakeAccessibility::setPosition(const AXElement& element, QPointF origin) {
    FakeAXWindow* w = byHandle(element);
    record(QStringLiteral("position %1 %2,%3")
               .arg(w ? w->number : 0)
               .arg(number(origin.x()), number(origin.y())));
    if (!w || takeRefusal(w->refusePositionWrites))
        return false;
    w->frame.moveTopLeft(origin);
    return true;
}

bool FakeAccessibility::setSize(const AXElement& element, QSizeF size) {
    FakeAXWindow* w = byHandle(element);
    record(QStringLiteral("size %1 %2x%3")
               .arg(w ? w->number : 0)
               .arg(number(size.width()), number(size.height())));
    if (!w || takeRefusal(w->refuseSizeWrites))
        return false;
    w->frame.setSize(size);
    return true;
}

bool FakeAccessibility::setMinimized(const AXElement& element, bool minimized) {
    FakeAXWindow* w = byHandle(element);
    record(QStringLiteral("minimized %1 %2").arg(w ? w->number : 0).arg(minimized ? "true" : "false"));
    if (!w)
        return false;
    w->minimized = minimized;
    return true;
}

bool FakeAccessibility::setMain(const AXElement& element) {
    FakeAXWindow* w = byHandle(element);
    record(QStringLiteral("main %1").arg(w ? w->number : 0));
    if (!w)
        return false;
    program(element.pid)->mainWindow = w->number;
    return true;
}

bool FakeAccessibility::raise(const AXElement& element) {
    FakeAXWindow* w = byHandle(element);
    record(QStringLiteral("raise %1").arg(w ? w->number : 0));
    return w != nullptr;
}

bool FakeAccessibility::close(const AXElement& element) {
    FakeAXWindow* w = byHandle(element);
    record(QStringLiteral("close %1").arg(w ? w->number : 0));
    if (!w || !w->hasCloseButton)
        return false;
    const uint64_t closed = w->handle;
    std::erase_if(program(element.pid)->windows,
                  [closed](const FakeAXWindow& each) { return each.handle == closed; });
    return true;
}

bool FakeAccessibility::bringToFront(int32_t pid, uint32_t windowNumber) {
    record(QStringLiteral("front %1 %2").arg(pid).arg(windowNumber));
    FakeAXProgram* owner = program(pid);
    return owner && owner->bringToFrontSucceeds && window(pid, windowNumber) != nullptr;
}

} // namespace corvane
