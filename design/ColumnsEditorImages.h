// The six 16x16 pictures of the columns editor's tool bar, in this order:
// add, remove, up, down, add all fields, restore defaults.
#pragma once

class TImageList;

void AddColumnsEditorImages(TImageList* List);
