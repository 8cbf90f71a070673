// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A UI Automation client, as a Windows screen reader is one: reads the tree
// that UI Automation gives for the window with the title given, from
// another process, and prints one line for each element:
//     DEPTH|CONTROL TYPE|NAME|DESCRIPTION|ENABLED|VALUE
// With "invoke NAME", it then invokes the element of that name, as a
// reader's user presses a button, and says what came of it:
//     uiareader TITLE [invoke NAME]
#include <initguid.h>

#include <uiautomation.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The control types a screen reader names, by their UI Automation ids.
const char *controlTypeName(CONTROLTYPEID type)
{
    switch (type) {
    case UIA_ButtonControlTypeId:
        return "Button";
    case UIA_EditControlTypeId:
        return "Edit";
    case UIA_GroupControlTypeId:
        return "Group";
    case UIA_ImageControlTypeId:
        return "Image";
    case UIA_PaneControlTypeId:
        return "Pane";
    case UIA_TextControlTypeId:
        return "Text";
    case UIA_TitleBarControlTypeId:
        return "TitleBar";
    case UIA_WindowControlTypeId:
        return "Window";
    case UIA_CustomControlTypeId:
        return "Custom";
    default:
        return "Other";
    }
}

// A wide string as UTF-8, with the separator and line ends written out.
std::string utf8(const wchar_t *text)
{
    if (!text)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    std::string shown;
    for (const char c : bytes)
        shown += c == '|' ? std::string("\\|")
            : c == '\n'   ? std::string("\\n")
            : c == '\r'   ? std::string("\\r")
                          : std::string(1, c);
    return shown;
}

std::string stringProperty(IUIAutomationElement *element, PROPERTYID property)
{
    VARIANT value;
    VariantInit(&value);
    std::string text;
    if (SUCCEEDED(element->GetCurrentPropertyValue(property, &value)) && value.vt == VT_BSTR)
        text = utf8(value.bstrVal);
    VariantClear(&value);
    return text;
}

void print(IUIAutomationElement *element, int depth)
{
    BSTR name = nullptr;
    CONTROLTYPEID type = 0;
    BOOL enabled = FALSE;
    element->get_CurrentName(&name);
    element->get_CurrentControlType(&type);
    element->get_CurrentIsEnabled(&enabled);
    std::string description = stringProperty(element, UIA_FullDescriptionPropertyId);
    IUIAutomationElement6 *six = nullptr;
    if (description.empty()
        && SUCCEEDED(element->QueryInterface(IID_IUIAutomationElement6, reinterpret_cast<void **>(&six)))) {
        BSTR full = nullptr;
        if (SUCCEEDED(six->get_CurrentFullDescription(&full)))
            description = utf8(full);
        SysFreeString(full);
        six->Release();
    }
    std::printf("%d|%s|%s|%s|%s|%s\n", depth, controlTypeName(type), utf8(name).c_str(), description.c_str(),
                enabled ? "enabled" : "disabled", stringProperty(element, UIA_ValueValuePropertyId).c_str());
    SysFreeString(name);
}

// The element whose name is invokeName, once the walk has passed it.
std::wstring invokeName;
IUIAutomationElement *toInvoke = nullptr;

void walk(IUIAutomationTreeWalker *walker, IUIAutomationElement *element, int depth)
{
    print(element, depth);
    BSTR name = nullptr;
    if (!toInvoke && !invokeName.empty() && SUCCEEDED(element->get_CurrentName(&name)) && name
        && invokeName == name) {
        toInvoke = element;
        toInvoke->AddRef();
    }
    SysFreeString(name);
    IUIAutomationElement *child = nullptr;
    walker->GetFirstChildElement(element, &child);
    while (child) {
        walk(walker, child, depth + 1);
        IUIAutomationElement *next = nullptr;
        walker->GetNextSiblingElement(child, &next);
        child->Release();
        child = next;
    }
}

// Invokes the element given, as a reader's user presses a button, and says
// what came of it.
void invoke(IUIAutomationElement *element)
{
    IUIAutomationInvokePattern *pattern = nullptr;
    if (element)
        element->GetCurrentPatternAs(UIA_InvokePatternId, IID_IUIAutomationInvokePattern,
                                     reinterpret_cast<void **>(&pattern));
    if (!element)
        std::printf("invoke|not found\n");
    else if (!pattern)
        std::printf("invoke|no invoke pattern\n");
    else
        std::printf("invoke|%s\n", SUCCEEDED(pattern->Invoke()) ? "invoked" : "failed");
    if (pattern)
        pattern->Release();
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc != 2 && !(argc == 4 && std::wstring(argv[2]) == L"invoke")) {
        std::fprintf(stderr, "usage: uiareader TITLE [invoke NAME]\n");
        return 2;
    }
    const HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) {
        std::fprintf(stderr, "uiareader: no window titled so\n");
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IUIAutomation *automation = nullptr;
    IUIAutomationElement *root = nullptr;
    IUIAutomationTreeWalker *walker = nullptr;
    HRESULT result = CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER, IID_IUIAutomation,
                                      reinterpret_cast<void **>(&automation));
    if (SUCCEEDED(result))
        result = automation->ElementFromHandle(window, &root);
    // Every element, as a reader walks the raw view (Wine offers its
    // walkers only made from a condition).
    IUIAutomationCondition *every = nullptr;
    if (SUCCEEDED(result) && root)
        result = automation->CreateTrueCondition(&every);
    if (SUCCEEDED(result))
        result = automation->CreateTreeWalker(every, &walker);
    if (FAILED(result) || !root || !walker) {
        std::fprintf(stderr, "uiareader: UI Automation gives no tree for the window (0x%08lx)\n",
                     static_cast<unsigned long>(result));
        return 1;
    }
    if (argc == 4)
        invokeName = argv[3];
    walk(walker, root, 0);
    if (argc == 4)
        invoke(toInvoke);
    if (toInvoke)
        toInvoke->Release();
    std::fflush(stdout);
    walker->Release();
    every->Release();
    root->Release();
    automation->Release();
    CoUninitialize();
    return 0;
}
