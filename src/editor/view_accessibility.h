#pragma once

namespace ostrel {

// Source views answer screen readers with their full text only while an assistive technology
// is connected. Without one, the editor's own accessibility object would count the characters
// from the start of the text to the caret on every caret move and paint (40 ms at the end of a
// 10 MB file), for nobody; a plain editable-text object with the view's name stands in for it.
// Installed once, before the first view is created.
void InstallViewAccessibility();

} // namespace ostrel
