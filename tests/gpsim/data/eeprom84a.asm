; eeprom84a.asm - writes 0xA5 to EEPROM address 5 of a PIC16F84A, then reads address Addr back into Value.
        processor 16f84a
        #include <p16f84a.inc>
        __config _XT_OSC & _WDT_OFF & _PWRTE_ON & _CP_OFF
        errorlevel -302
        cblock 0x0C
        Value
        Addr
        endc
        org 0
Start   movlw   0x05
        movwf   EEADR
        movlw   0xA5
        movwf   EEDATA
        bsf     STATUS,RP0
        bsf     EECON1,WREN
        movlw   0x55
        movwf   EECON2
        movlw   0xAA
        movwf   EECON2
        bsf     EECON1,WR
Wait    btfsc   EECON1,WR
        goto    Wait
        bcf     EECON1,WREN
        bcf     STATUS,RP0
        movlw   0x02
        movwf   Addr
Read    movf    Addr,W
        movwf   EEADR
        bsf     STATUS,RP0
        bsf     EECON1,RD
        bcf     STATUS,RP0
        movf    EEDATA,W
        movwf   Value
Done    goto    Done
        org     0x2100
        de      1, 2, 3
        end
