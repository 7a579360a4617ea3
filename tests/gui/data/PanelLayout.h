// Do not edit. All of this is generated automatically 

#ifndef _PANELLAYOUT_
#define _PANELLAYOUT_

#include <vector>
#include "Graphics.h" 
#include "GuiResize.h" 

class PanelLayout 
{ 
public: 
	PanelLayout() {} 
 
	~PanelLayout() {} 
 
	void SetDefaultViewLayout(Graphics* pGraphics) 
	{ 
	    // Backup original control pointers
		for (int i = 0; i < pGraphics->GetNControls(); i++) 
			originalPointers.push_back(pGraphics->GetControl(i));

	    // --------------------------------------------------------------------

        // class ProbeControl 1
		pGraphics->GetControl(1)->Hide(false); 
		pGraphics->GetControl(1)->SetDrawRECT(Rect(128, 64, 168, 104)); 
		pGraphics->GetControl(1)->SetTargetRECT(Rect(128, 64, 168, 104)); 
        // class ProbeControl 2
		pGraphics->GetControl(2)->Hide(false); 
		pGraphics->GetControl(2)->SetDrawRECT(Rect(200, 40, 220, 140)); 
		pGraphics->GetControl(2)->SetTargetRECT(Rect(200, 40, 220, 140)); 
        // class ProbeControl 3
		pGraphics->GetControl(3)->Hide(false); 
		pGraphics->GetControl(3)->SetDrawRECT(Rect(296, 196, 384, 220)); 
		pGraphics->GetControl(3)->SetTargetRECT(Rect(300, 200, 380, 216)); 
	    // --------------------------------------------------------------------

	    // Reordering control layers
		pGraphics->ReplaceControl(1, originalPointers[1]); 
		pGraphics->ReplaceControl(2, originalPointers[3]); 
		pGraphics->ReplaceControl(3, originalPointers[2]); 
	}

	void SetGUIResizeLayout(Graphics* pGraphics, GuiResize* pGUIResize)
	{
		// View Mode: (0) --------------------------------------------------------------------
        // class ProbeControl 1
		pGUIResize->SetEditedLayout(0, 1, 1, Rect(128, 64, 168, 104), Rect(128, 64, 168, 104), false);
        // class ProbeControl 3
		pGUIResize->SetEditedLayout(0, 3, 2, Rect(296, 196, 384, 220), Rect(300, 200, 380, 216), false);
        // class ProbeControl 2
		pGUIResize->SetEditedLayout(0, 2, 3, Rect(200, 40, 220, 140), Rect(200, 40, 220, 140), false);
		// End (0) --------------------------------------------------------------------
    }

private:
	std::vector <Control*> originalPointers;
};
 #endif