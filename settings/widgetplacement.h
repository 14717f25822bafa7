#pragma once

class QWidget;

// Saves and restores a window's place by its object name, clamped to the primary screen.
void SaveFormPlacement(const QWidget* form);
void RestoreFormPlacement(QWidget* form);
