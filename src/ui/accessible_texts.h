// SPDX-License-Identifier: MIT
#pragma once
// What a screen reader says for each control of the windows: a name that tells the control apart
// from the others of its window, and a description of what it does. Fields take their label as
// buddy; controls with a tooltip are described by it.

class MainWindow;
class MessagesWindow;
class PreviewWindow;

void DescribeMainWindow(MainWindow& window);
void DescribeMessagesWindow(MessagesWindow& window);
void DescribePreviewWindow(PreviewWindow& window);
